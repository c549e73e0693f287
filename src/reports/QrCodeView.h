#pragma once

#include "QrCode.h"

#include <QWidget>

#include <optional>

// A QR code drawn from its modules, black on white with a quiet zone of four modules, in
// whole screen pixels, at least four a module: never in the window's colours, which could
// make it unreadable to a camera.
class QrCodeView : public QWidget {
    Q_OBJECT
public:
    static constexpr int QuietZone = 4;
    static constexpr int MinModulePixels = 4;

    explicit QrCodeView(QWidget* parent = nullptr);

    void setCode(const QrCode& code);
    // Screen pixels a module.
    int modulePixels() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QrCode> m_code;
};
