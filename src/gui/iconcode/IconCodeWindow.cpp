// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconCodeWindow.h"

#include "AppIcon.h"
#include "IconCode.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>

IconCodeWindow::IconCodeWindow(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_code(new QPlainTextEdit(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_assembler(new QCheckBox(QStringLiteral("&defb"), this)) {
    setObjectName(QStringLiteral("frmIcnCode"));
    setWindowTitle(QStringLiteral("Icon code"));
    setWindowIcon(appIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window keeps out of the task bar, but Qt would not let it keep the program
    // running; this window must, after the main window has closed.
    setAttribute(Qt::WA_QuitOnClose);
    setGeometry(QRect(kClientPosition, kClientSize));
    setFixedSize(kClientSize);

    m_code->setObjectName(QStringLiteral("icnCode"));
    m_code->setGeometry(4, 3, 233, 284);
    m_code->setReadOnly(true);
    // Read-only, yet the caret moves with the keys so the user can select and copy.
    m_code->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_code->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_code->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_code->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_code->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setGeometry(80, 292, 81, 25);
    m_ok->setAutoDefault(false);
    m_ok->setDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    // Beside OK, in the room the window has always had there.
    m_assembler->setObjectName(QStringLiteral("chkDefb"));
    m_assembler->setGeometry(168, 294, 69, 21);
    m_assembler->setToolTip(QStringLiteral("The rows as z80asm and pasmo assemble them, as "
                                           "mobrin-cli source writes the icon"));
    connect(m_assembler, &QCheckBox::toggled, this, &IconCodeWindow::showCode);

    setTabOrder(m_code, m_ok);
    setTabOrder(m_ok, m_assembler);
    m_code->setFocus();
}

void IconCodeWindow::setCode(const QString& text) {
    m_given = text;
    showCode();
}

void IconCodeWindow::showCode() {
    m_code->setPlainText(m_assembler->isChecked() ? IconCode::asAssembler(m_given) : m_given);
}

QString IconCodeWindow::code() const {
    QString text = m_code->toPlainText();
    if (!m_assembler->isChecked()) {
        // The text box keeps lines apart without their CR LF; put them back.
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }
    return text;
}
