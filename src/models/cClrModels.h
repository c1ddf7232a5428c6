// cClrModels: one color held as red, green and blue bytes, read and set as CMY, CMYK, HLS and
// YCbCr. Scales, constants and rounding are part of its contract, so results at ties, caps and
// the hue origin are exactly reproducible.
#pragma once

#include <cstdint>

class cClrModels
{
public:
    uint8_t cmyC() const;
    uint8_t cmyM() const;
    int16_t cmykK() const;
    int16_t cmykC() const;
    int16_t cmykM() const;
    int16_t cmykY() const;
    uint8_t cmyY() const;
    int16_t hlsH() const;
    int16_t hlsL() const;
    int16_t hlsS() const;
    void rgbR(uint8_t value) { m_red = value; }
    uint8_t rgbR() const { return m_red; }
    uint8_t rgbG() const { return m_green; }
    uint8_t rgbB() const { return m_blue; }
    uint8_t ycbcrY() const;
    uint8_t ycbcrCb() const;
    uint8_t ycbcrCr() const;
    void rgbG(uint8_t value) { m_green = value; }
    void rgbB(uint8_t value) { m_blue = value; }

    // The Set operations throw std::overflow_error (numconv::OverflowError). SetCMY, SetCMYK and
    // SetHLS store each channel as soon as it is computed, so a failure keeps the channels
    // before it; SetYCbCr stores nothing unless all three succeed.
    void SetCMY(int16_t cyan, int16_t magenta, int16_t yellow);
    void SetHLS(int16_t hue, int16_t lightness, int16_t saturation);
    void SetCMYK(int16_t cyan, int16_t magenta, int16_t yellow, int16_t key);
    void SetYCbCr(int16_t y, int16_t cb, int16_t cr);

private:
    // Keep the first of equal elements; Maximum starts from 0, as its inputs are never negative.
    static double Minimum(const double (&values)[3]);
    static double Maximum(const double (&values)[3]);

    int16_t cmykChannel(uint8_t byte) const;

    uint8_t m_red = 0;
    uint8_t m_green = 0;
    uint8_t m_blue = 0;
};
