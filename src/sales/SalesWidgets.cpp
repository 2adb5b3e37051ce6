#include "sales/SalesWidgets.h"

#include "core/Prompt.h"
#include "sales/SalesRules.h"
#include "ui/Grid.h"
#include "ui/HCText.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QPushButton* SalesButton(QWidget* parent, const char* name, const QString& text, bool takesFocus)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    if (!takesFocus)
        b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QLabel* MakeInfoPanel(QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QStringLiteral("pnlInfo"));
    l->setTextFormat(Qt::PlainText);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setWordWrap(true);
    return l;
}

void ExecModalWindow(QWidget* window, QWidget* focus)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->activateWindow();
    if (focus)
        focus->setFocus();
    loop.exec();
}

QPushButton* LayOutEditor(QWidget* editor, QLayout* fields, QCheckBox* continueBox, bool buttonsTakeFocus)
{
    auto* save = SalesButton(editor, "btnSave", QStringLiteral("저장 (F2)"), buttonsTakeFocus);
    auto* close = SalesButton(editor, "btnClose", QStringLiteral("닫기"), buttonsTakeFocus);
    QObject::connect(close, &QPushButton::clicked, editor, [editor] { CloseWindow(editor); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(continueBox);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* top = new QVBoxLayout(editor);
    top->addLayout(fields);
    top->addLayout(buttons);
    return save;
}

QGridLayout* MakeEditorFields(QWidget* editor, HCText** fields, const QStringList& labels,
                              std::initializer_list<int> numbers)
{
    auto* grid = new QGridLayout;
    int row = 0;
    for (int i = 0; i < labels.size(); ++i) {
        fields[i] = new HCText(editor);
        fields[i]->setObjectName(QStringLiteral("htField(%1)").arg(i));
        if (labels[i].isEmpty()) {
            fields[i]->hide();
            continue;
        }
        auto* l = new QLabel(labels[i], editor);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(l, row, 0);
        grid->addWidget(fields[i], row++, 1);
    }
    for (int i : numbers) {
        fields[i]->SetAcceptType(HCText::Number);
        fields[i]->SetShowSeparate(true);
        fields[i]->setAlignment(Qt::AlignRight);
    }
    return grid;
}

bool CheckServiceName(HCText* name)
{
    if (!name->text().trimmed().isEmpty())
        return true;
    MsgInfo(QStringLiteral("거래명이 입력되지 않았습니다"));
    name->setFocus();
    return false;
}

bool CheckNumberFits(HCText* field, bool count, double factor)
{
    const double v = SalesNumber(field->text()) * factor;
    if (count ? CountFits(v) : AmountFits(v))
        return true;
    ShowNumberTooLarge();
    field->setFocus();
    return false;
}
