#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QrCodeView;

// A report's text as QR codes for a phone's camera, one code at a time with the text it holds
// beside it: a text too long for one code is read from several, paged with Next and Previous
// or Page Down and Page Up. Escape closes it.
class QrCodeWindow : public QDialog {
    Q_OBJECT
public:
    QrCodeWindow(const QString& text, QWidget* parent);

    // 0-based.
    int currentCode() const { return m_code; }
    int codeCount() const { return int(m_parts.size()); }
    void showCode(int index);

    QrCodeView* picCode = nullptr;
    QLabel* lblCode = nullptr;
    QPlainTextEdit* txtCode = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    QStringList m_parts;
    int m_code = 0;
};
