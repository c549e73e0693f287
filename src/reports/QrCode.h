#pragma once

#include <QByteArray>
#include <QList>

// A QR code as libqrencode makes it: the bytes in byte mode, error correction level M, in the
// smallest version that holds them, as a square of dark and light modules.
class QrCode {
public:
    // The most one code holds: version 20 (97 modules a side) in byte mode at level M, as
    // libqrencode fills it; a larger code is hard for a phone to read from a screen.
    static constexpr int MaxBytes = 666;
    static constexpr int MaxVersion = 20;

    // Throws std::runtime_error when the bytes do not fit a code of MaxVersion.
    explicit QrCode(const QByteArray& bytes);

    // Modules a side, without the quiet zone.
    int size() const { return m_size; }
    bool dark(int x, int y) const { return m_dark.at(y * m_size + x); }

private:
    int m_size = 0;
    QList<bool> m_dark;
};
