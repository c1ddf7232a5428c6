// How a color looks to a person with a color-vision deficiency: Machado, Oliveira and Fernandes
// (2009) for the missing or shifted cones, at any severity, on linear-light sRGB; achromatopsia
// as the relative luminance in gray.
#pragma once

#include "bascommon.h"

#include <QString>
#include <array>
#include <optional>

namespace visiondeficiency {

enum class Cones { Protan, Deutan, Tritan, None };

struct Simulation
{
    Cones cones = Cones::Protan;
    int severity = 100; // percent; Cones::None (achromatopsia) has no severity
    bool operator==(const Simulation &) const = default;
};

// "protanopia", "deuteranopia", "tritanopia", "achromatopsia", or "protanomaly:S",
// "deuteranomaly:S", "tritanomaly:S" with S in percent, 0 to 100. Nothing, and why, for anything
// else.
std::optional<Simulation> parse(const QString &kind, QString *why = nullptr);
// The name parse reads: "deuteranopia", "protanomaly:40".
QString name(const Simulation &simulation);
// The four that need no severity, in the order the frozen screen's view turns through them.
const std::array<Simulation, 4> &full();

// The simulated color, clipped to sRGB and rounded to 8 bits.
Color simulate(Color color, const Simulation &simulation);

// A simulation made ready to apply to many pixels: the matrix chosen, and the encoding from
// linear light done by a table.
class Simulator
{
public:
    explicit Simulator(const Simulation &simulation);
    Color operator()(Color color) const;

private:
    std::array<double, 9> m_matrix{};
    bool m_gray = false;
};

} // namespace visiondeficiency
