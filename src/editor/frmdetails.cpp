// The Color Details window.
#include "frmdetails.h"

#include "color/apca.h"
#include "color/colornames.h"
#include "color/contrast.h"
#include "color/harmony.h"
#include "color/visiondeficiency.h"
#include "desktop/clipboard.h"
#include "formats/colorformat.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

QLineEdit *readout(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    // Read-only but selectable, like the main window's readouts.
    edit->setReadOnly(true);
    edit->setMinimumWidth(designunits::pixels(3600));
    return edit;
}

QLabel *bold(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

frmdetails::frmdetails(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmdetails"));
    setWindowTitle(QStringLiteral("Color Details"));
    setFont(designunits::windowFont());
    auto *columns = new QHBoxLayout(this);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    columns->addLayout(grid);

    m_swatch = new ColorLabel(this);
    m_swatch->setObjectName(QStringLiteral("lblSwatch"));
    m_swatch->setBordered(true);
    m_swatch->setFixedSize(designunits::pixels(1020), designunits::pixels(600));
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("lblName"));
    m_name->setFont(designunits::designFont(QStringLiteral("Tahoma"), 10, true));
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_swatch, 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);

    int row = 1;
    for (const colorformat::Named &format : colorformat::table()) {
        if (format.name == QLatin1String("name"))
            continue; // shown above, with "≈" where it applies
        grid->addWidget(new QLabel(format.name, this), row, 0);
        QLineEdit *text = readout(this, QStringLiteral("txt") + format.name);
        grid->addWidget(text, row, 1);
        auto *copy = new QPushButton(QStringLiteral("Copy"), this);
        copy->setObjectName(QStringLiteral("cmdCopy") + format.name);
        connect(copy, &QPushButton::clicked, this, [this, text] {
            if (const QString refused = clipboard::putTextOrSay(text->text()); !refused.isEmpty())
                emit failed(refused);
        });
        grid->addWidget(copy, row, 2);
        m_notations.append({format.name, text});
        ++row;
    }

    grid->addWidget(bold(QStringLiteral("Contrast"), this), row++, 0, 1, 3);
    m_white = addContrastRow(grid, row++, new QLabel(QStringLiteral("White"), this));
    m_black = addContrastRow(grid, row++, new QLabel(QStringLiteral("Black"), this));
    m_second = new QLineEdit(this);
    m_second->setObjectName(QStringLiteral("txtSecond"));
    m_second->setMaxLength(7);
    m_second->setPlaceholderText(QStringLiteral("#RRGGBB"));
    m_second->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("#?[0-9A-Fa-f]{0,6}")), m_second));
    connect(m_second, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Typed, it stays; emptied, the selected swatch comes back.
        m_typed = !text.isEmpty();
        showContrasts();
    });
    m_other = addContrastRow(grid, row++, m_second);
    grid->setRowStretch(row, 1);

    auto *judged = new QGridLayout;
    judged->setHorizontalSpacing(4);
    judged->setVerticalSpacing(3);
    columns->addSpacing(12);
    columns->addLayout(judged);
    addJudgements(judged);
    setColor(m_color);
}

void frmdetails::addJudgements(QGridLayout *grid)
{
    const auto swatch = [this](const QString &name) {
        auto *label = new ColorLabel(this);
        label->setObjectName(name);
        label->setBordered(true);
        label->setFixedSize(designunits::pixels(330), designunits::pixels(330));
        return label;
    };
    int row = 0;
    grid->addWidget(bold(QStringLiteral("Color vision"), this), row++, 0, 1, 6);
    for (const visiondeficiency::Simulation &simulation : visiondeficiency::full()) {
        const QString name = visiondeficiency::name(simulation);
        QString shown = name;
        shown[0] = shown[0].toUpper();
        grid->addWidget(new QLabel(shown, this), row, 0);
        Seen seen{swatch(QStringLiteral("lblSeen(%1)").arg(name)), new QLabel(this)};
        seen.text->setObjectName(QStringLiteral("lblSeenHex(%1)").arg(name));
        seen.text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(seen.swatch, row, 1);
        grid->addWidget(seen.text, row, 2, 1, 4);
        m_seen.append(seen);
        ++row;
    }
    grid->addWidget(bold(QStringLiteral("Harmonies"), this), row++, 0, 1, 6);
    for (const QString &name : harmony::names()) {
        QString shown = name;
        shown[0] = shown[0].toUpper();
        grid->addWidget(new QLabel(shown, this), row, 0);
        Harmony harmony;
        const size_t count = harmony::offsets(*harmony::parse(name)).size() + 1;
        for (size_t i = 0; i < count; ++i) {
            ColorLabel *label = swatch(QStringLiteral("lblHarmony(%1,%2)").arg(name).arg(i));
            const int kind = static_cast<int>(m_harmonies.size());
            connect(label, &ColorLabel::released, this, [this, kind, i](int button, QPoint) {
                if (button == 1)
                    emit chosen(m_harmonies[kind].colors.value(static_cast<qsizetype>(i)));
            });
            grid->addWidget(label, row, 1 + static_cast<int>(i));
            harmony.swatches.append(label);
        }
        auto *add = new QPushButton(QStringLiteral("Add to Palette"), this);
        add->setObjectName(QStringLiteral("cmdAdd(%1)").arg(name));
        const int kind = static_cast<int>(m_harmonies.size());
        connect(add, &QPushButton::clicked, this,
                [this, kind] { emit addToPalette(m_harmonies[kind].colors); });
        grid->addWidget(add, row, 5);
        m_harmonies.append(harmony);
        ++row;
    }
    grid->setRowStretch(row, 1);
}

frmdetails::Contrast frmdetails::addContrastRow(QGridLayout *grid, int row, QWidget *against)
{
    Contrast contrast{new QLabel(this), new QLabel(this), new QLabel(this)};
    grid->addWidget(against, row, 0);
    // The levels read right after the ratio, across the text and button columns.
    auto *both = new QHBoxLayout;
    both->setSpacing(12);
    contrast.ratio->setMinimumWidth(
        contrast.ratio->fontMetrics().horizontalAdvance(QStringLiteral("21.00:1")));
    both->addWidget(contrast.ratio);
    // APCA's Lc of the current color as text on this background, with its sign.
    contrast.apca->setMinimumWidth(
        contrast.apca->fontMetrics().horizontalAdvance(QStringLiteral("Lc -107.9")));
    contrast.apca->setToolTip(QStringLiteral("APCA lightness contrast of the current color as "
                                             "text on this background"));
    both->addWidget(contrast.apca);
    both->addWidget(contrast.levels, 1);
    grid->addLayout(both, row, 1, 1, 2);
    return contrast;
}

void frmdetails::setColor(Color color)
{
    m_color = color;
    m_swatch->setBackColor(color);
    m_name->setText(colornames::shown(colornames::nearest(color)));
    for (const auto &[format, text] : std::as_const(m_notations))
        text->setText(colorformat::text(format, color));
    showContrasts();
    for (qsizetype i = 0; i < m_seen.size(); ++i) {
        const Color seen =
            visiondeficiency::simulate(color, visiondeficiency::full()[static_cast<size_t>(i)]);
        m_seen[i].swatch->setBackColor(seen);
        m_seen[i].text->setText(bascommon::ColorToHex(seen));
    }
    const QStringList kinds = harmony::names();
    for (qsizetype k = 0; k < m_harmonies.size(); ++k) {
        const std::vector<Color> colors = harmony::of(*harmony::parse(kinds[k]), color);
        Harmony &row = m_harmonies[k];
        row.colors = QList<Color>(colors.begin(), colors.end());
        for (qsizetype i = 0; i < row.swatches.size(); ++i) {
            row.swatches[i]->setBackColor(row.colors.value(i));
            row.swatches[i]->setToolTip(QStringLiteral("%1: a click makes it the current color")
                                            .arg(bascommon::ColorToHex(row.colors.value(i))));
        }
    }
}

void frmdetails::setSecondColor(Color color)
{
    if (m_typed)
        return;
    m_second->setText(bascommon::ColorToHex(color));
    showContrasts();
}

void frmdetails::showContrasts()
{
    showContrast(m_white, 0xFFFFFF);
    showContrast(m_black, 0);
    if (const std::optional<Color> other = bascommon::parseHexColor(m_second->text())) {
        showContrast(m_other, *other);
    } else {
        m_other.ratio->setText(QStringLiteral("–"));
        m_other.apca->clear();
        m_other.levels->clear();
    }
}

void frmdetails::showContrast(const Contrast &row, Color other)
{
    const double ratio = contrast::ratio(m_color, other);
    row.ratio->setText(contrast::text(ratio));
    row.apca->setText(QStringLiteral("Lc ") + apca::text(apca::lightnessContrast(m_color, other)));
    const QStringList met = contrast::levels(ratio);
    row.levels->setText(met.isEmpty() ? QStringLiteral("fails AA-large")
                                      : met.join(QLatin1Char(' ')));
}
