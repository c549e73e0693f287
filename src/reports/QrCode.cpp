#include "QrCode.h"

#include <qrencode.h>

#include <QString>

#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

QrCode::QrCode(const QByteArray& bytes)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code || code->version > MaxVersion) {
        const QString why = code ? QStringLiteral("it needs a code of version %1").arg(code->version)
                                 : QString::fromLocal8Bit(std::strerror(errno));
        throw std::runtime_error(
            QStringLiteral("The QR code of %1 bytes could not be made: %2").arg(bytes.size()).arg(why).toStdString());
    }
    m_size = code->width;
    m_dark.reserve(m_size * m_size);
    // The lowest bit of each module tells dark (1) from light.
    for (int i = 0; i < m_size * m_size; ++i)
        m_dark << bool(code->data[i] & 1);
}
