#include "ui/QtPrompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
QWidget* dialogParent() { return QApplication::activeWindow(); }

// A short text makes a narrow box whose title bar cuts the title ("금일 스케줄" over one
// short entry): the box is kept wide enough for its whole title and the frame's buttons.
void makeRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid || box.windowTitle().isEmpty()) return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int need = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 160;
    grid->addItem(new QSpacerItem(need, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}
} // namespace

void QtPrompt::message(Icon icon, const QString& text, const QString& title) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText); // messages quote typed and stored text
    box.setText(text);
    switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::None: break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("확인"));
    makeRoomForTitle(box);
    box.exec();
}

Prompt::Answer QtPrompt::question(Icon icon, const QString& text, const QString& title,
                                  bool withCancel, Answer defaultAnswer) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::Question);
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    box.setStandardButtons(buttons);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("예(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("아니오(&N)"));
    if (withCancel) box.button(QMessageBox::Cancel)->setText(QStringLiteral("취소"));
    box.setDefaultButton(defaultAnswer == Answer::No       ? QMessageBox::No
                         : defaultAnswer == Answer::Cancel ? QMessageBox::Cancel
                                                           : QMessageBox::Yes);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    makeRoomForTitle(box);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::No;
    }
}

std::optional<QString> QtPrompt::input(const QString& text, const QString& title,
                                       const QString& defaultText) {
    bool ok = false;
    const QString value =
        QInputDialog::getText(dialogParent(), title, text, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return value;
}

QString QtPrompt::openFileName(const QString& title, const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(dialogParent(), title, dir, filter);
}

QString QtPrompt::saveFileName(const QString& title, const QString& dir, const QString& filter) {
    return QFileDialog::getSaveFileName(dialogParent(), title, dir, filter);
}

QString QtPrompt::existingDirectory(const QString& title, const QString& dir) {
    return QFileDialog::getExistingDirectory(dialogParent(), title, dir);
}

std::optional<QColor> QtPrompt::color(const QColor& initial, const QString& title) {
    const QColor c = QColorDialog::getColor(initial, dialogParent(), title);
    if (!c.isValid()) return std::nullopt;
    return c;
}


std::optional<QFont> QtPrompt::font(const QFont& initial, const QString& title) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, dialogParent(), title);
    if (!ok) return std::nullopt;
    return f;
}
