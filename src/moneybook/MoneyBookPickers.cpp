#include "moneybook/MoneyBookPickers.h"

#include "ui/PickOrAdd.h"
#include "moneybook/AccountWindow.h"
#include "moneybook/frmItem.h"

void RegisterMoneyBookPickers() {
    for (const QString& table : {QStringLiteral("tblitem"), QStringLiteral("tblaffairsnote")})
        RegisterPickKind(table, [table](const QString& text, const QString& itemClass) {
            return PickItem(table, text, itemClass);
        });
    const PickEditor account = [](const QString&, const QString& name) {
        return AccountWindow::addModal(false, name);
    };
    RegisterPickEditor(QStringLiteral("ACIn"), account);
    RegisterPickEditor(QStringLiteral("ACOut"), account);
    // The "Card" kind lists the business's own cards, so a new one is added as such.
    RegisterPickEditor(QStringLiteral("Card"), [](const QString&, const QString& name) {
        return AccountWindow::addModal(true, name);
    });
}
