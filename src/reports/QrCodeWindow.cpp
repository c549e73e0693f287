#include "QrCodeWindow.h"

#include "QrCode.h"
#include "QrCodeView.h"
#include "ReportText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

QrCodeWindow::QrCodeWindow(const QString& text, QWidget* parent)
    : QDialog(parent)
    , m_parts(ReportText::split(text, QrCode::MaxBytes))
{
    setObjectName(QStringLiteral("QrCodeWindow"));
    picCode = new QrCodeView(this);
    picCode->setObjectName(QStringLiteral("picCode"));
    lblCode = new QLabel(this);
    lblCode->setObjectName(QStringLiteral("lblCode"));
    txtCode = new QPlainTextEdit(this);
    txtCode->setObjectName(QStringLiteral("txtCode"));
    txtCode->setReadOnly(true);
    txtCode->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtCode->setAccessibleName(QStringLiteral("Text of the code"));
    // Tab moves on to the buttons: the text is only read here.
    txtCode->setTabChangesFocus(true);
    txtCode->setMinimumWidth(260);
    // Rows read in the window's direction, as the list does, whatever script a name starts with.
    QTextOption direction = txtCode->document()->defaultTextOption();
    direction.setTextDirection(layoutDirection());
    txtCode->document()->setDefaultTextOption(direction);
    cmdPrevious = new QPushButton(QStringLiteral("&Previous"), this);
    cmdPrevious->setObjectName(QStringLiteral("cmdPrevious"));
    cmdNext = new QPushButton(QStringLiteral("&Next"), this);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {cmdPrevious, cmdNext, cmdClose})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrevious);
    buttons->addWidget(cmdNext);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* side = new QVBoxLayout;
    side->addWidget(lblCode);
    side->addWidget(txtCode, 1);
    side->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picCode, 0, Qt::AlignTop);
    layout->addLayout(side, 1);

    connect(cmdPrevious, &QPushButton::clicked, this, [this] { showCode(m_code - 1); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { showCode(m_code + 1); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    // Wherever the focus is, the text box included.
    const auto key = [this](Qt::Key k, int step) {
        auto* shortcut = new QShortcut(QKeySequence(k), this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { showCode(m_code + step); });
    };
    key(Qt::Key_PageDown, 1);
    key(Qt::Key_PageUp, -1);
    for (QPushButton* b : {cmdPrevious, cmdNext})
        b->setVisible(codeCount() > 1);
    showCode(0);
}

void QrCodeWindow::showCode(int index)
{
    m_code = qBound(0, index, codeCount() - 1);
    const QString& part = m_parts.at(m_code);
    picCode->setCode(QrCode(part.toUtf8()));
    txtCode->setPlainText(part);
    lblCode->setText(QStringLiteral("Code %1 of %2").arg(m_code + 1).arg(codeCount()));
    const QString name = codeCount() == 1
                             ? QStringLiteral("QR code of the list")
                             : QStringLiteral("QR code of the list, %1 of %2").arg(m_code + 1).arg(codeCount());
    setWindowTitle(name);
    setAccessibleName(name);
    picCode->setAccessibleName(name);
    cmdPrevious->setEnabled(m_code > 0);
    cmdNext->setEnabled(m_code < codeCount() - 1);
}
