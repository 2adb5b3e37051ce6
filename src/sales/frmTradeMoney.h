#pragma once

#include "ui/RecordChanges.h"

#include <QWidget>

#include <functional>
#include <optional>

class HCText;
class QLabel;
struct PickRow;

// Payment editor of one trade ("입금등록"): cash, card, bank transfer, points and discount,
// against what the member owes.
class frmTradeMoney : public QWidget {
    Q_OBJECT
public:
    enum Field {
        FCode = 0, FCash, FCard, FAccount, FPoint, FDc, FTotal, FOldDebt, FSale, FCurPoint, FRest, FOwed,
        FCardCode, FieldCount
    };

    explicit frmTradeMoney(QWidget* parent = nullptr);

    // Loads trade `trade` of member `member` and proposes the cash (without `propose` the
    // stored cash is shown, as after choosing to see another PC's change).
    void open(int trade, int member, bool propose = true);
    bool save();

    HCText* field(int i) const { return m_fields[i]; }
    double value(int i) const;
    int tradeCode() const { return m_trade; }

    // The card company chooser (the card company list as a picker); replaceable in tests.
    using CardPicker = std::function<std::optional<PickRow>()>;
    static void setCardPicker(CardPicker picker);

signals:
    // After a successful save; the caller rereads the trade.
    void paymentSaved(int tradeCode);
    // The trade was deleted elsewhere (the message was shown; the editor closes).
    void tradeGone(int tradeCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setValue(int i, double v);
    void enterField(int i);
    void leaveField(int i);
    void chooseCard();
    void recompute();

    // The stored payment columns as loaded; the save writes the changed ones only.
    QVariantHash storedValues() const;

    HCText* m_fields[FieldCount] = {};
    RecordChanges m_changes;
    QString m_cardChecked; // the deposit confirmation date as loaded
    QLabel* m_cardName = nullptr;
    int m_trade = 0;
    int m_member = 0;
    int m_current = -1;   // payment field being edited (2 to 5)
    double m_before = 0;  // cash + that field's value when it was entered
};
