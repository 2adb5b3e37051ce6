// The money-book windows opened from the main window's menu and driven by mouse and keys:
// ledger cells, accounts, cards, categories, usage places, balance windows and graphs,
// checked against tbljangbu/tblgrouping, the balances and the prompts shown.
#include "WindowTest.h"
#include "MoneyTestUtil.h"
#include "OtherPc.h"

#include "app/MoneyBookCommands.h"
#include "app/frmMain.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/DatabaseStats.h"
#include "db/SchemaUpgrade.h"
#include "moneybook/AccountWindow.h"
#include "moneybook/frmBalance.h"
#include "moneybook/frmBalance_Write.h"
#include "moneybook/frmStartMoney.h"
#include "moneybook/FrmGraph.h"
#include "moneybook/FrmRPT_graphA.h"
#include "moneybook/frmItem.h"
#include "moneybook/frmItemSub.h"
#include "moneybook/frmRecord.h"
#include "moneybook/frmUseName.h"
#include "moneybook/MoneyBookRules.h"
#include "sales/MoneyBalance.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/HCTerm.h"
#include "ui/SheetReader.h"
#include "ui/WindowRegistry.h"

#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QProcess>
#include <QComboBox>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

namespace {
// Clicks whatever lies over the control `name` of `w`, as a person's pointer does.
void click(QWidget* w, const QString& name) {
    auto* b = w->findChild<QWidget*>(name);
    QVERIFY2(b, qPrintable(name));
    // A check box or option button is clicked on its mark, not on the empty room beside it.
    if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b))
        ClickAsPerson(b, QPoint(8, b->height() / 2));
    else
        ClickAsPerson(b);
}

// Runs `sql` through a connection of its own, as another PC does.
void otherPc(const QString& sql) { QVERIFY(TestEnv::runOnOtherConnection(sql)); }

QVariant cell(const QString& sql, const QVariantList& params = {}) {
    return GetScalar(sql, params);
}

// The texts on the graph with the middle of each across: the names under the bars and the
// values written in the plot, each left to right; and every text drawn.
struct GraphTexts {
    QList<std::pair<double, QString>> names, values;
    QStringList all;
};
GraphTexts graphTexts(FrmGraph* graph) {
    QCoreApplication::processEvents();
    QChart* chart = graph->chart();
    const QRectF plot = chart->plotArea();
    GraphTexts out;
    for (QGraphicsItem* item : chart->scene()->items()) {
        QString text;
        if (auto* t = dynamic_cast<QGraphicsTextItem*>(item))
            text = t->toPlainText();
        else if (auto* st = dynamic_cast<QGraphicsSimpleTextItem*>(item))
            text = st->text();
        if (text.isEmpty() || !item->isVisible()) continue;
        out.all << text;
        const QRectF r = item->sceneBoundingRect();
        if (r.center().y() > plot.bottom() && r.right() > plot.left() &&
            text != chart->axes(Qt::Horizontal).value(0)->titleText())
            out.names.append({r.center().x(), text.remove(QChar(0x200B))});
        else if (plot.contains(r.center()))
            out.values.append({r.center().x(), text});
    }
    std::sort(out.names.begin(), out.names.end());
    std::sort(out.values.begin(), out.values.end());
    return out;
}

// What a person reads on the graph, left to right: each name under a bar with the value
// written above it ("마트=100"), or the name alone when no values are shown.
QStringList barsSeen(FrmGraph* graph) {
    const GraphTexts seen = graphTexts(graph);
    QStringList out;
    for (int i = 0; i < seen.names.size(); ++i)
        out << seen.names[i].second +
                   (seen.values.isEmpty() ? QString() : "=" + seen.values.value(i).second);
    return out;
}

// Prints the graph into the PDF `name` of the data folder and returns its path.
QString printed(FrmGraph* graph, const TestEnv& env, const QString& name) {
    const QString pdf = env.path(name);
    QPdfWriter writer(pdf);
    graph->printTo(&writer);
    return pdf;
}

} // namespace

class TestMoneyWindows : public WindowTest {
    Q_OBJECT

    // Opens a window by its menu command, maximised as a person works in it.
    template <class T> T* open(const char* menu, const char* window) {
        m_d->open(QString::fromLatin1(menu));
        auto* w = dynamic_cast<T*>(WindowRegistry::find(QString::fromLatin1(window)));
        if (w && WindowRegistry::subWindowOf(w)) WindowRegistry::subWindowOf(w)->showMaximized();
        QCoreApplication::processEvents();
        return w;
    }
    frmRecord* ledger() { return open<frmRecord>("mnuRecord_Record", "frmRecord"); }
    // Runs the analysis of the kind `type` ("optType(5)") and returns its graph, maximised
    // with the values shown.
    FrmGraph* graphOf(FrmRPT_graphA* w, const char* type) {
        click(w, type);
        click(w, "btnQuery");
        auto* graph = dynamic_cast<FrmGraph*>(WindowRegistry::find("FrmGraph"));
        if (!graph) return nullptr;
        WindowRegistry::subWindowOf(graph)->showMaximized();
        click(graph, "chkGrpStat(0)");
        return graph;
    }
    QStringList prompts() { return prompt().texts(); }
    // Clicks a cell, types into it and leaves it with Tab, as a person types a ledger line.
    void enterCell(Grid* g, int col, int row, const QString& text) {
        m_d->clickCell(g, col, row);
        m_d->type(text);
        m_d->key(Qt::Key_Tab);
    }

private slots:
    void initTestCase() { RegisterMoneyBookCommands(); }
    void init() {
        WindowTest::init();
        m_d->frame()->resize(1400, 900);
        QCoreApplication::processEvents();
    }

    void monthTypedByKeyboardAgreesWithBalances();
    void ledgerBadInput_data();
    void ledgerBadInput();
    void ledgerSectionPicker_data();
    void ledgerSectionPicker();
    void ledgerCellRules();
    void ledgerSecondPc();
    void ledgerBalancesFromStoredAmounts();
    void ledgerDeleteAndCarryOver();
    void ledgerBasis();
    void ledgerReadFromItsEnd();
    void ledgerCarriedOverFromStoredTotals();
    void accountWindow();
    void accountAddedFromPickerList();
    void cardWindow();
    void categories();
    void usagePlaces();
    void balanceRecords();
    void graphs();
    void graphNamesAndValues();
    void graphDayLabels();
};

void TestMoneyWindows::monthTypedByKeyboardAgreesWithBalances() {
    auto* start = open<frmStartMoney>("mnuRecord_Money", "frmStartMoney");
    QVERIFY(start);
    m_d->retype("htField", "-10,000", start); // a slip of the finger
    click(start, "btnSave");
    QCOMPARE(prompts(), QStringList({"금액은 0 이상으로 입력하세요."}));
    QCOMPARE(cell("SELECT sbalance FROM tblgrouping WHERE code = 1").toDouble(), 0.0);
    // Set on another PC meanwhile: asked, and by default theirs is kept and shown.
    otherPc("UPDATE tblgrouping SET sbalance = 7000 WHERE code = 1");
    m_d->retype("htField", "10,000", start);
    click(start, "btnSave");
    QCOMPARE(cell("SELECT sbalance FROM tblgrouping WHERE code = 1").toDouble(), 7000.0);
    QCOMPARE(start->findChild<QLineEdit*>("htField")->text(), QString("7,000"));
    m_d->retype("htField", "10,000", start);
    click(start, "btnSave");
    QCOMPARE(cell("SELECT sbalance FROM tblgrouping WHERE code = 1").toDouble(), 10000.0);

    auto* accounts = open<frmAccount>("mnuRecord_Account", "frmAccount");
    QVERIFY(accounts);
    for (const auto& [name, opening] :
         {std::pair{"국민", "100000"}, std::pair{"O'Neil 통장", "0"}}) {
        click(accounts, "btnRecAddAc");
        m_d->retype("htField(0)", QString::fromUtf8(name), accounts);
        m_d->retype("htField(3)", QString::fromLatin1(opening), accounts);
        click(accounts, "btnSave");
    }
    const int kb = AccountCodeByName("국민", "1");
    const int oneil = AccountCodeByName("O'Neil 통장", "1");
    QVERIFY(kb > 1 && oneil > 1);
    QCOMPARE(cell("SELECT sbalance FROM tblgrouping WHERE code = ?", {kb}).toDouble(), 100000.0);

    auto* cards = open<frmCard>("mnuRecord_Card", "frmCard");
    QVERIFY(cards);
    m_d->retype("htField(0)", "비씨", cards);
    cards->findChild<QComboBox*>("cmbAccount")->setCurrentText("국민");
    click(cards, "btnSave");
    const int bc = AccountCodeByName("비씨", "2");
    QCOMPARE(cell("SELECT ctblgrouping FROM tblgrouping WHERE code = ?", {bc}).toInt(), kb);

    // The balances window, left open behind the ledger, shows the new balances when it is
    // chosen from the menu again.
    auto* balance = open<frmBalance>("mnuRecord_Balance", "frmBalance");
    QVERIFY(balance);
    QCOMPARE(balance->grid()->text(frmBalance::ColBalance, 1), QString("10,000"));
    frmRecord* w = ledger();
    QVERIFY(w);
    Grid* g = w->grid();
    prompt().clear();
    // Cash income on the 3rd with a new usage place and a new category.
    enterCell(g, frmRecord::ColDate, 1, "3");
    enterCell(g, frmRecord::ColSection, 1, "2");
    const int first = g->text(frmRecord::ColCode, 1).toInt();
    QVERIFY(first > 0);
    enterCell(g, frmRecord::ColUse, 1, "mart");
    enterCell(g, frmRecord::ColItem, 1, "tip");
    enterCell(g, frmRecord::ColIn, 1, "1,500");
    QCOMPARE(
        prompts(),
        QStringList(
            {"[mart]은(는) 등록된 사용처가 아닙니다.\n입력하신 사용처를 추가하시겠습니까?",
             "[tip]은(는) 등록된 항목이 아닙니다.\n입력하신 항목을 검색목록에 추가하시겠습니까?"}));
    QCOMPARE(cell("SELECT inoutclass FROM tblitem WHERE bigo = 'tip'").toString(), QString("1"));
    // A card expense on the empty row (date left empty: today, which lies in the period).
    enterCell(g, frmRecord::ColSection, 2, "7");
    enterCell(g, frmRecord::ColCard, 2, "비씨");
    enterCell(g, frmRecord::ColOut, 2, "3000");
    // A transfer between the two accounts.
    enterCell(g, frmRecord::ColDate, 3, "5");
    enterCell(g, frmRecord::ColSection, 3, "9");
    enterCell(g, frmRecord::ColAcIn, 3, "O'N");
    enterCell(g, frmRecord::ColAcOut, 3, "국민");
    enterCell(g, frmRecord::ColOther, 3, "20000");
    enterCell(g, frmRecord::ColMemo, 3, "it's");

    Recordset rs;
    QCOMPARE(OpenRecordset(rs, "SELECT sdate, sectionclass, smoney, cgroupin, cgroupout, ctblitem, "
                               "smemo FROM tbljangbu "
                               "ORDER BY code"),
             3);
    auto row = [&rs](int r) {
        QStringList out;
        for (const QVariant& v : rs.row(r))
            out << v.toString();
        return out.join('|');
    };
    QCOMPARE(row(0), QString("2026-12-03|1|1500|1|1|tip|"));
    QCOMPARE(row(1), QString("2026-12-06|6|3000|%1|%2||").arg(bc).arg(kb));
    QCOMPARE(row(2), QString("2026-12-05|8|20000|%1|%2||it's").arg(oneil).arg(kb));
    // Rows in date order after a reload; balances carried from the opening balances.
    click(w, "btnQuery");
    QCOMPARE(g->text(frmRecord::ColSection, 3), QString("카드지출"));
    QCOMPARE(g->text(frmRecord::ColCard, 3), QString("비씨"));
    QCOMPARE(g->text(frmRecord::ColAcOut, 2), QString("국민"));
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("111,500"));
    QCOMPARE(g->text(frmRecord::ColBalance, 3), QString("108,500"));
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), QString("108,500"));
    QCOMPARE(w->sumGrid()->text(frmRecord::ColOther, 1), QString("20,000"));

    QCOMPARE(open<frmBalance>("mnuRecord_Balance", "frmBalance"), balance);
    QCOMPARE(balance->grid()->text(frmBalance::ColBalance, 1), QString("11,500"));
    QCOMPARE(balance->sumGrid()->text(2, 1), QString("108,500"));
    QCOMPARE(AccountBalance(kb), 77000.0);
    QCOMPARE(AccountBalance(oneil), 20000.0);
}

void TestMoneyWindows::ledgerBadInput_data() {
    QTest::addColumn<int>("section"); // of the stored entry of 700 won on the 2nd
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("message"); // the start of the one message shown, or ""
    const int out = frmRecord::ColOut, date = frmRecord::ColDate;
    QTest::newRow("negative amount refused") << 0 << out << "-5000" << "700" << "금액은 0 이상으로 입력하세요.";
    QTest::newRow("amount with unit") << 0 << out << "1,500원" << "1500" << "";
    QTest::newRow("letters keep the amount") << 0 << out << "abc" << "700" << "금액은 숫자로 입력하세요.";
    QTest::newRow("fraction of a won refused") << 0 << out << "450000.5" << "700" << "금액은 원 단위로 입력하세요.";
    QTest::newRow("largest amount") << 0 << out << "999,999,999,999" << "999999999999" << "";
    QTest::newRow("one won beyond the largest") << 0 << out << "1000000000000" << "700" << "입력하신 숫자가 너무 큽니다.";
    QTest::newRow("beyond a double's whole numbers") << 0 << out << "9007199254740993" << "700" << "입력하신 숫자가 너무 큽니다.";
    QTest::newRow("amount in the wrong column ignored") << 0 << int(frmRecord::ColIn) << "900" << "700" << "";
    QTest::newRow("transfer without accounts") << 8 << int(frmRecord::ColOther) << "5000" << "700"
        << "통장간이동의 금액을 저장하려면 먼저 출금통장을 입력하세요.";
    QTest::newRow("card expense without a card") << 6 << out << "5000" << "700" << "카드지출의 금액을 저장하려면 먼저 신용카드를 입력하세요.";
    QTest::newRow("account income without an account") << 3 << int(frmRecord::ColIn) << "5000" << "700"
        << "통장수입의 금액을 저장하려면 먼저 입금통장을 입력하세요.";
    QTest::newRow("no amount needs no account") << 8 << int(frmRecord::ColOther) << "0" << "0" << "";
    QTest::newRow("30 February keeps the date") << 0 << date << "2026-02-30" << "2026-12-02"
                                                << "[2026-02-30]는 날짜형식이 아닙니다.";
    QTest::newRow("month 13 keeps the date") << 0 << date << "20261301" << "2026-12-02" << "[20261301]는 날짜형식이 아닙니다.";
    QTest::newRow("empty date is today inside the period") << 0 << date << "" << "2026-12-06" << "";
    QTest::newRow("short date") << 0 << date << "1207" << "2026-12-07" << "";
}

void TestMoneyWindows::ledgerBadInput() {
    QFETCH(int, section);
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    const int code = addEntry("2026-12-02", section, 700);
    frmRecord* w = ledger();
    Grid* g = w->grid();
    m_d->clickCell(g, col, 1);
    m_d->key(Qt::Key_Delete); // an empty cell for the empty-date case
    m_d->type(typed);
    if (typed.isEmpty()) {
        m_d->key(Qt::Key_F2);
        m_d->key(Qt::Key_Backspace);
    }
    m_d->key(Qt::Key_Tab);
    const QString column = col == frmRecord::ColDate ? "sdate" : "smoney";
    QCOMPARE(cell("SELECT " + column + " FROM tbljangbu WHERE code = ?", {code}).toString(),
             stored);
    QCOMPARE(prompts().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) QVERIFY2(prompts()[0].startsWith(message), qPrintable(prompts()[0]));
    // The row shows what is stored, in the amount column of its section.
    if (col == frmRecord::ColDate)
        QCOMPARE(g->text(col, 1), stored);
    else
        QCOMPARE(g->text(frmRecord::ColIn, 1) + g->text(frmRecord::ColOut, 1) +
                     g->text(frmRecord::ColOther, 1),
                 QLocale(QLocale::Korean).toString(stored.toLongLong()));
}

void TestMoneyWindows::ledgerSectionPicker_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pickerKeys"); // "" no picker, "esc", or a digit
    QTest::addColumn<QString>("section");
    QTest::newRow("8 is a cash advance") << "8" << "" << "7";
    QTest::newRow("11 opens the picker, Esc keeps") << "11" << "esc" << "";
    QTest::newRow("0 opens the picker") << "0" << "3" << "3";
    QTest::newRow("a part of a name opens the picker") << "현금" << "9" << "9";
    QTest::newRow("name with blanks") << "통 장 입 금" << "" << "5";
}

void TestMoneyWindows::ledgerSectionPicker() {
    QFETCH(QString, typed);
    QFETCH(QString, pickerKeys);
    QFETCH(QString, section);
    frmRecord* w = ledger();
    bool pickerShown = false;
    if (!pickerKeys.isEmpty())
        OnModal([this, &pickerShown, pickerKeys](QWidget* dlg) {
            pickerShown = dlg->objectName() == "frmSection" && dlg->windowTitle() == "구분선택";
            auto* grid = dlg->findChild<Grid*>("spList");
            if (pickerKeys == "esc") {
                m_d->key(Qt::Key_Escape);
                return;
            }
            QCOMPARE(QApplication::focusWidget(), grid); // the keys go where the focus is
            m_d->type(pickerKeys.left(1));
            m_d->key(Qt::Key_Return);
        });
    enterCell(w->grid(), frmRecord::ColSection, 1, typed);
    QCOMPARE(pickerShown, !pickerKeys.isEmpty());
    QCOMPARE(cell("SELECT sectionclass FROM tbljangbu").toString(), section);
    QCOMPARE(CountRows("tbljangbu"), section.isEmpty() ? 0 : 1);
}

void TestMoneyWindows::ledgerCellRules() {
    const int a = addPlace("1", "국민", 0);
    const int b = addPlace("1", "신한", 0);
    const int card = addPlace("2", "비씨", 0, b);
    const int expense = addEntry("2026-12-01", 6, 5000, card, b);
    const int transfer = addEntry("2026-12-02", 8, 1000, a, b);
    addEntry("2026-12-03", 2, 300, 1, 999); // its account row is gone
    frmRecord* w = ledger();
    Grid* g = w->grid();
    QCOMPARE(g->dataRowCnt(), 3);
    // A card row takes no account: the card stays.
    enterCell(g, frmRecord::ColAcIn, 1, "국민");
    QCOMPARE(cell("SELECT cgroupin FROM tbljangbu WHERE code = ?", {expense}).toInt(), card);
    // One account on both sides of a transfer is refused.
    enterCell(g, frmRecord::ColAcIn, 2, "신한");
    QCOMPARE(prompts(), QStringList({"입금통장과 출금통장이 같습니다."}));
    QCOMPARE(cell("SELECT cgroupin FROM tbljangbu WHERE code = ?", {transfer}).toInt(), a);
    QCOMPARE(g->text(frmRecord::ColAcIn, 2), QString("국민"));
    // A place the amount moves through cannot be emptied under it.
    m_d->clickCell(g, frmRecord::ColAcOut, 2);
    m_d->key(Qt::Key_Delete);
    m_d->key(Qt::Key_Tab);
    QCOMPARE(prompt().lastText(),
             QString("금액이 입력된 내역의 출금통장은 비울 수 없습니다."));
    QCOMPARE(cell("SELECT cgroupout FROM tbljangbu WHERE code = ?", {transfer}).toInt(), b);
    QCOMPARE(g->text(frmRecord::ColAcOut, 2), QString("신한"));
    // A new section starts afresh.
    enterCell(g, frmRecord::ColSection, 1, "1");
    QCOMPARE(CountRows("tbljangbu", "code = ? AND cgroupin = 1 AND cgroupout = 1 AND smoney = 0",
                       {expense}),
             1);
    QCOMPARE(g->text(frmRecord::ColCard, 1), QString());
    // Before its section, the empty row takes no amount.
    enterCell(g, frmRecord::ColOut, 4, "5000");
    QCOMPARE(CountRows("tbljangbu"), 3);
    QCOMPARE(g->text(frmRecord::ColOut, 4), QString());
}

// Another PC changes or deletes what this ledger shows: its change is never lost silently.
void TestMoneyWindows::ledgerSecondPc() {
    const int a = addPlace("1", "국민");
    const int amount = addEntry("2026-12-01", 0, 700);
    const int gone = addEntry("2026-12-02", 0, 100);
    const int paid = addEntry("2026-12-03", 2, 0, 1, a);
    frmRecord* w = ledger();
    Grid* g = w->grid();
    const QString changedElsewhere = "이 자료를 불러온 뒤 다른 곳에서 자료가 수정되었습니다.";
    otherPc(QString("UPDATE tbljangbu SET smoney = 900 WHERE code = %1").arg(amount));
    enterCell(g, frmRecord::ColOut, 1, "1000"); // the question's default: keep theirs, reload
    QVERIFY(prompts().value(0).startsWith(changedElsewhere));
    QCOMPARE(cell("SELECT smoney FROM tbljangbu WHERE code = ?", {amount}).toInt(), 900);
    QCOMPARE(g->text(frmRecord::ColOut, 1), QString("900"));
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("-900"));
    // Now that it is seen, the next amount is written without a question.
    prompt().clear();
    enterCell(g, frmRecord::ColOut, 1, "1000");
    QCOMPARE(prompts(), QStringList());
    QCOMPARE(cell("SELECT smoney FROM tbljangbu WHERE code = ?", {amount}).toInt(), 1000);
    // The other PC stored just what is typed: nothing to ask.
    otherPc(QString("UPDATE tbljangbu SET smoney = 1500 WHERE code = %1").arg(amount));
    enterCell(g, frmRecord::ColOut, 1, "1500");
    QCOMPARE(prompts(), QStringList());
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("-1,500"));
    if (!TestEnv::onServer()) {
        // Another PC holds the write lock past the wait: said once, the stored amount shown.
        SetBusyTimeout(50);
        OtherPc other;
        QVERIFY(other.exec("BEGIN IMMEDIATE"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ExecSQL rejected"));
        enterCell(g, frmRecord::ColOut, 1, "1700");
        QVERIFY(other.exec("ROLLBACK"));
        QCOMPARE(prompts(), QStringList({"다른 컴퓨터에서 자료를 저장하고 있습니다. 잠시 후 다시 시도하세요."}));
        QCOMPARE(g->text(frmRecord::ColOut, 1), QString("1,500"));
        prompt().clear();
    }
    QCOMPARE(cell("SELECT smoney FROM tbljangbu WHERE code = ?", {amount}).toInt(), 1500);
    // Overwriting their change is the user's choice.
    otherPc(QString("UPDATE tbljangbu SET smemo = 'theirs' WHERE code = %1").arg(amount));
    prompt().pushAnswer(Prompt::Answer::Yes);
    enterCell(g, frmRecord::ColMemo, 1, "mine");
    QCOMPARE(cell("SELECT smemo FROM tbljangbu WHERE code = ?", {amount}).toString(),
             QString("mine"));

    // Nothing changed meanwhile: one statement writes it, checking the account as it goes.
    const qint64 before = StatementsRun();
    enterCell(g, frmRecord::ColOut, 3, "250");
    QCOMPARE(StatementsRun() - before, 1);
    // An entry or the account it names deleted meanwhile: refused, nothing written back.
    otherPc(QString("DELETE FROM tbljangbu WHERE code = %1").arg(gone));
    otherPc(QString("DELETE FROM tblgrouping WHERE code = %1").arg(a));
    prompt().clear();
    // While the user reads why, the other PCs can write: no lock is held over a message.
    QList<bool> othersCouldWrite;
    prompt().onShown = [&othersCouldWrite](const auto&) {
        othersCouldWrite << TestEnv::runOnOtherConnection(
            "UPDATE tblusename SET sname = sname WHERE code = 1");
    };
    enterCell(g, frmRecord::ColMemo, 2, "late");
    enterCell(g, frmRecord::ColOut, 2, "5000"); // the list was reloaded: row 2 is the other
    QCOMPARE(prompts(),
             QStringList({"이 자금 내역은 다른 곳에서 삭제되어 저장할 수 없습니다.\n목록을 다시 "
                          "불러옵니다.",
                          "이 계좌는 다른 곳에서 삭제되어 저장할 수 없습니다.\n목록을 다시 "
                          "불러옵니다."}));
    prompt().onShown = {};
    QCOMPARE(othersCouldWrite, QList<bool>({true, true}));
    QCOMPARE(CountRows("tbljangbu", "code = ?", {gone}), 0);
    QCOMPARE(cell("SELECT smoney FROM tbljangbu WHERE code = ?", {paid}).toInt(), 250);
    QCOMPARE(g->dataRowCnt(), 2);
}

// A stored amount with a fraction (written by another program) counts as stored: the
// running balance is summed from the amounts, not from their rounded texts, so November's
// last balance is December's carry-over.
void TestMoneyWindows::ledgerBalancesFromStoredAmounts() {
    addEntry("2026-11-10", 1, 100.4);
    addEntry("2026-11-11", 1, 100.4);
    addEntry("2026-11-12", 1, 100.4);
    addEntry("2026-12-01", 0, 1);
    frmRecord* w = ledger();
    QCOMPARE(w->grid()->text(frmRecord::ColBalance, 1), QString("300"));
    w->period()->SetText1("2026-11-01");
    w->period()->SetText2("2026-11-30");
    click(w, "btnQuery");
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), QString("301"));
    QCOMPARE(w->sumGrid()->text(frmRecord::ColIn, 1), QString("301"));
    // A new entry of a past month is dated at that month's end.
    enterCell(w->grid(), frmRecord::ColSection, 4, "2");
    QCOMPARE(cell("SELECT sdate FROM tbljangbu ORDER BY code DESC").toString(),
             QString("2026-11-30"));
}

void TestMoneyWindows::ledgerDeleteAndCarryOver() {
    ExecSQL("UPDATE tblgrouping SET sbalance = 1000 WHERE code = 1");
    addEntry("2026-11-30", 1, 500);
    const int one = addEntry("2026-12-01", 0, 100);
    const int two = addEntry("2026-12-02", 0, 200);
    addEntry("2026-12-03", 1, 300);
    frmRecord* w = ledger();
    Grid* g = w->grid();
    QCOMPARE(w->startBalance(), 1500.0);
    QCOMPARE(g->text(frmRecord::ColBalance, 3), QString("1,500"));
    // Not carried over: the balance starts at 0 and the choice is remembered.
    click(w, "chkOldBalance");
    QCOMPARE(w->startBalance(), 0.0);
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), QString("0"));
    QCOMPARE(Settings::getIn(App().appTitle, "Config", "OLD_BALANCE", QString()), QString("1"));
    click(w, "chkOldBalance");

    m_d->clickCell(g, frmRecord::ColDate, 4); // the empty row
    click(w, "btnRecDel");
    QCOMPARE(prompts(), QStringList({"삭제할 자료를 선택하세요."}));
    m_d->clickCell(g, frmRecord::ColDel, 1);
    m_d->clickCell(g, frmRecord::ColDel, 2);
    prompt().pushAnswer(Prompt::Answer::Yes);
    click(w, "btnRecDel");
    QCOMPARE(prompt().lastText(), QString("선택된 2개의 자료를 모두 삭제 하시겠습니까?"));
    QCOMPARE(CountRows("tbljangbu", "code = ? OR code = ?", {one, two}), 0);
    QCOMPARE(g->dataRowCnt(), 1);
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("1,800"));
    m_d->clickCell(g, frmRecord::ColMemo, 1);
    click(w, "btnRecDel"); // the question's default is No
    QCOMPARE(prompt().lastText(), QString("선택된 자료를 정말로 삭제 하시겠습니까?"));
    QCOMPARE(CountRows("tbljangbu"), 2);
}

void TestMoneyWindows::ledgerBasis() {
    ExecSQL("UPDATE tblgrouping SET sbalance = 1000 WHERE code = 1");
    const int a = addPlace("1", "국민", 5000);
    addEntry("2026-11-30", 3, 700, a);
    addEntry("2026-12-01", 4, 300, 1, a); // a withdrawal moves money into the cash box
    frmRecord* w = ledger();
    Grid* g = w->grid();
    QCOMPARE(g->text(frmRecord::ColOther, 1), QString("300"));
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("6,700"));
    click(w, "opBalance(1)");
    QCOMPARE(g->text(frmRecord::ColIn, 1), QString("300"));
    QCOMPARE(g->text(frmRecord::ColOther, 1), QString());
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("1,300"));
    // An amount now typed into the income column is that withdrawal's amount.
    enterCell(g, frmRecord::ColIn, 1, "400");
    QCOMPARE(cell("SELECT smoney FROM tbljangbu WHERE sectionclass = '4'").toDouble(), 400.0);
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), QString("1,400"));
    click(w, "opInOut(2)"); // expenses only: nothing, and no balance carried over
    QCOMPARE(g->dataRowCnt(), 0);
    QCOMPARE(w->startBalance(), 0.0);
    QCOMPARE(m_d->env().notices().last(), QString("검색된 결과가 없습니다."));
}

// The ledger's rows as they should show: each entry of the period (December unless told)
// with its running balance worked out by hand from the opening balances and every earlier
// entry (all-money basis).
QStringList expectedLedger(const QString& from = "2026-12-01", const QString& to = "9999") {
    double balance = cell("SELECT SUM(sbalance) FROM tblgrouping").toDouble();
    Recordset rs;
    OpenRecordset(rs, "SELECT code, sdate, sectionclass, smoney FROM tbljangbu ORDER BY sdate, code");
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString section = rs.text("sectionclass");
        const double money = rs.number("smoney");
        if (section == "1" || section == "3") balance += money;
        if (section == "0" || section == "2" || section == "6") balance -= money;
        if (rs.text("sdate") >= from && rs.text("sdate") <= to)
            out << rs.text("code") + " " + MoneyBook::MoneyText(balance);
    }
    return out;
}

QStringList shownLedger(Grid* g) {
    QStringList out;
    for (int r = 1; r <= g->dataRowCnt(); ++r)
        out << g->text(frmRecord::ColCode, r) + " " + g->text(frmRecord::ColBalance, r);
    return out;
}

// A month longer than a block: the newest entries show first over the empty row, older
// ones are read a block at a time as the person scrolls up. Every row's balance, the
// totals and the export cover the whole month, rows never read included, after an amount
// saved in an early row and an entry another PC put before the rows read; sums past 32 bits.
void TestMoneyWindows::ledgerReadFromItsEnd() {
    GridModel::setFetchBlockRows(5);
    const auto restore = qScopeGuard([] { GridModel::setFetchBlockRows(256); });
    ExecSQL("UPDATE tblgrouping SET sbalance = 1000 WHERE code = 1");
    const int account = addPlace("1", "국민", 0);
    addEntry("2026-11-30", 1, 500);
    {
        Transaction tx;
        for (int i = 0; i < 80; ++i) {
            const int section = QList<int>{1, 0, 0, 4}.at(i % 4); // a withdrawal moves nothing
            const double money = i == 0 ? 3000000000.0 : i == 4 ? 2000000000.0 : 100 + i;
            addEntry(QString("2026-12-%1").arg(2 + i / 4, 2, 10, QChar('0')), section, money, 1,
                     section == 4 ? account : 1);
        }
        tx.commit();
    }
    const QString income = MoneyBook::MoneyText(
        cell("SELECT SUM(smoney) FROM tbljangbu WHERE sectionclass = '1' AND sdate >= '2026-12-01'").toDouble());
    QVERIFY(income.startsWith("5,000,00")); // past 32 bits
    frmRecord* w = ledger();
    Grid* g = w->grid();
    for (int last = -1; last != g->dataRowCnt(); QTest::qWait(20)) // the view filled
        last = g->dataRowCnt();
    QVERIFY(g->hasMoreRows());
    const int read = g->dataRowCnt();
    QVERIFY2(read < 80, qPrintable(QString::number(read)));
    QCOMPARE(g->activeRow(), read + 1); // on the empty row under the newest entry
    QCOMPARE(shownLedger(g), expectedLedger().mid(80 - read));
    QCOMPARE(w->sumGrid()->text(frmRecord::ColIn, 1), income);
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), expectedLedger().last().section(' ', 1));

    // An amount saved in an early row moves every balance under it. Scrolled up to it, the
    // rows before it come in above.
    int expense = 1;
    while (g->text(frmRecord::ColSection, expense) != "현금지출")
        ++expense;
    const QString code = g->text(frmRecord::ColCode, expense);
    auto rowOf = [g](const QString& code) { return g->searchCol(frmRecord::ColCode, 1, -1, code); };
    CellPoint(g, frmRecord::ColOut, rowOf(code));
    QVERIFY(rowOf(code) > expense);
    enterCell(g, frmRecord::ColOut, rowOf(code), "7,000");
    QCOMPARE(cell("SELECT smoney FROM tbljangbu WHERE code = ?", {code}).toInt(), 7000);
    QCOMPARE(shownLedger(g), expectedLedger().mid(80 - g->dataRowCnt()));
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), expectedLedger().last().section(' ', 1));

    // A memo typed, then the focus taken to a filter and the list dragged to its top: the
    // rows read in above move the typed row down, and leaving it still saves that entry.
    m_d->clickCell(g, frmRecord::ColMemo, rowOf(code));
    m_d->type("it's");
    click(w, "htField(0)");
    const int rowsBefore = g->maxRows();
    QScrollBar* bar = g->verticalScrollBar();
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = Qt::Vertical;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = opt.sliderValue = bar->value();
    opt.pageStep = bar->pageStep();
    opt.singleStep = bar->singleStep();
    const QPoint knob =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar).center();
    m_d->drag(bar, knob, QPoint(knob.x(), -bar->height()));
    QVERIFY(g->maxRows() > rowsBefore);
    m_d->clickCell(g, frmRecord::ColDate, rowOf(code));
    QCOMPARE(cell("SELECT smemo FROM tbljangbu WHERE code = ?", {code}).toString(), QString("it's"));

    // Another PC puts an entry before every row read; scrolling up reads it with the rest,
    // and every balance, those read before it included, counts it.
    otherPc("INSERT INTO tbljangbu (sdate, sectionclass, smoney) VALUES ('2026-12-01', '1', 900)");
    for (int i = 0; i < 200 && (g->hasMoreRows() || g->activeRow() > 1); ++i)
        m_d->key(Qt::Key_PageUp);
    QVERIFY(!g->hasMoreRows());
    QCOMPARE(shownLedger(g), expectedLedger());
    QCOMPARE(g->dataRowCnt(), 81);
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), expectedLedger().last().section(' ', 1));

    // The export of a list read again (one block) holds every row with its balance.
    click(w, "btnQuery");
    QVERIFY(g->hasMoreRows());
    prompt().pushAnswer(Prompt::Answer::Yes);
    click(w, "btnExcel");
    const SheetData sheet = m_d->env().exportedSheet();
    QCOMPARE(sheet.rows.size(), 2 + 81); // two header rows
    QStringList exported;
    for (int r = 2; r < sheet.rows.size(); ++r)
        exported << sheet.rows[r].value(frmRecord::ColBalance - 1);
    QStringList wanted;
    for (const QString& row : expectedLedger())
        wanted << row.section(' ', 1).remove(',');
    QCOMPARE(exported, wanted);

    // Ctrl+Home goes to the first entry of the whole month.
    click(w, "btnQuery");
    m_d->clickCell(g, frmRecord::ColMemo, g->dataRowCnt());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(g->activeRow(), 1);
    QCOMPARE(shownLedger(g), expectedLedger());
}

// The balance carried into a period is read from the totals the database keeps by date
// and section. It stays right after amounts saved, entries added and deleted in earlier
// months, another PC's entry before the first row, across a month's and a year's end and
// past 32 bits; and on a database without those totals (made by an earlier version) or
// whose triggers are gone, where every entry is summed until the next start makes them.
void TestMoneyWindows::ledgerCarriedOverFromStoredTotals() {
    ExecSQL("UPDATE tblgrouping SET sbalance = 1000 WHERE code = 1");
    addEntry("2025-12-31", 1, 3000000000.0);
    addEntry("2026-01-01", 0, 100);
    addEntry("2026-10-31", 1, 500);
    addEntry("2026-11-01", 0, 40);
    addEntry("2026-11-30", 4, 70, 1, addPlace("1", "국민")); // moves nothing between bases
    addEntry("2026-12-01", 0, 10);
    addEntry("2026-12-02", 1, 20);
    frmRecord* w = ledger();
    Grid* g = w->grid();
    auto show = [w](const QString& from, const QString& to) {
        w->period()->SetText1(from);
        w->period()->SetText2(to);
        click(w, "btnQuery");
    };
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("3,000,001,350"));
    QCOMPARE(shownLedger(g), expectedLedger());
    click(w, "opBalance(1)"); // the cash box alone: the withdrawal brought 70 into it
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("3,000,001,420"));
    click(w, "opBalance(0)");

    // November starts after the 31st of October; an amount changed and an entry added there.
    show("2026-11-01", "2026-11-30");
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("3,000,001,360"));
    enterCell(g, frmRecord::ColOut, 1, "45");
    enterCell(g, frmRecord::ColSection, 3, "1"); // a cash expense on the empty row
    enterCell(g, frmRecord::ColOut, 3, "5");
    QCOMPARE(CountRows("tbljangbu", "sdate = '2026-11-30' AND sectionclass = '0' AND smoney = 5"), 1);
    show("2026-10-01", "2026-10-31");
    enterCell(g, frmRecord::ColIn, 1, "600");
    show("2026-12-01", "2026-12-31");
    QCOMPARE(shownLedger(g), expectedLedger());
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("3,000,001,440"));

    // Another PC's entry before the first row counts at the next query.
    QVERIFY(TestEnv::runOnOtherConnection(
        "INSERT INTO tbljangbu (sdate, sectionclass, smoney) VALUES ('2026-11-15', '1', 7)"));
    click(w, "btnQuery");
    QCOMPARE(shownLedger(g), expectedLedger());

    // An entry of November deleted, another moved into December.
    show("2026-11-01", "2026-11-30");
    m_d->clickCell(g, frmRecord::ColDel, 1);
    prompt().pushAnswer(Prompt::Answer::Yes);
    click(w, "btnRecDel");
    QCOMPARE(CountRows("tbljangbu", "sdate = '2026-11-01'"), 0);
    enterCell(g, frmRecord::ColDate, g->dataRowCnt(), "2026-12-03");
    show("2026-12-01", "2026-12-31");
    QCOMPARE(shownLedger(g), expectedLedger());
    QCOMPARE(g->dataRowCnt(), 3);
    QCOMPARE(w->sumGrid()->text(frmRecord::ColBalance, 1), expectedLedger().last().section(' ', 1));

    // January's first day: the last day of the year before is carried over.
    show("2026-01-01", "2026-01-31");
    QCOMPARE(shownLedger(g), expectedLedger("2026-01-01", "2026-01-31"));
    QCOMPARE(g->text(frmRecord::ColBalance, 1), QString("3,000,000,900"));

    // The totals agree with the entries.
    auto totals = [](const QString& sql) {
        Recordset rs;
        OpenRecordset(rs, sql);
        QStringList out;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            out << rs.text(0) + " " + rs.text(1) + " " + MoneyBook::MoneyText(rs.number(2)) + " " + rs.text(3);
        return out;
    };
    const auto totalsAgree = [&totals] {
        return totals("SELECT sdate, sectionclass, smoney, entries FROM tbljangbusum ORDER BY sdate, sectionclass") ==
               totals("SELECT sdate, sectionclass, SUM(smoney), COUNT(*) FROM tbljangbu GROUP BY sdate, "
                      "sectionclass ORDER BY sdate, sectionclass");
    };
    QVERIFY(totalsAgree());

    // A database of an earlier version (no totals), then one that lost a trigger: every
    // entry is summed, another PC's entry included; the next start makes the totals again.
    const QStringList older = TestEnv::onServer()
        ? QStringList{"DROP TRIGGER trg_tbljangbusum ON tbljangbu", "DROP TABLE tbljangbusum"}
        : QStringList{"DROP TRIGGER trg_tbljangbusum_ins", "DROP TRIGGER trg_tbljangbusum_del",
                      "DROP TRIGGER trg_tbljangbusum_upd", "DROP TABLE tbljangbusum"};
    const QString lostTrigger = TestEnv::onServer() ? "DROP TRIGGER trg_tbljangbusum ON tbljangbu"
                                                    : "DROP TRIGGER trg_tbljangbusum_ins";
    for (const QStringList& drop : {older, QStringList{lostTrigger}}) {
        for (const QString& sql : drop)
            QVERIFY2(RunSilent(sql).ok, qPrintable(sql));
        QVERIFY(!LedgerTotalsKept());
        QVERIFY(TestEnv::runOnOtherConnection(
            "INSERT INTO tbljangbu (sdate, sectionclass, smoney) VALUES ('2026-11-20', '0', 3)"));
        show("2026-12-01", "2026-12-31");
        QCOMPARE(shownLedger(g), expectedLedger());
        QVERIFY(UpgradeSchema());
        QVERIFY(LedgerTotalsKept());
        QVERIFY(totalsAgree());
        click(w, "btnQuery");
        QCOMPARE(shownLedger(g), expectedLedger());
    }
}

void TestMoneyWindows::accountWindow() {
    auto* w = open<frmAccount>("mnuRecord_Account", "frmAccount");
    QVERIFY(w);
    click(w, "btnSave");
    m_d->retype("htField(0)", "50%", w);
    m_d->retype("htField(3)", "1,234", w);
    click(w, "btnSave");
    click(w, "btnRecAddAc");
    m_d->retype("htField(0)", "50%", w);
    click(w, "btnSave");
    QCOMPARE(prompts(),
             QStringList({"통장이름이 입력되지 않았습니다", "[50%]은 이미 등록된 통장입니다."}));
    QCOMPARE(w->findChild<QLineEdit*>("htField(0)")->text(), QString());
    const int pct = AccountCodeByName("50%", "1");
    QCOMPARE(cell("SELECT sbalance FROM tblgrouping WHERE code = ?", {pct}).toDouble(), 1234.0);
    // Another PC edits the same account: a change of another field stays; a change of the
    // same field is asked about and, by default, kept and shown.
    m_d->clickCell(w->grid(), AccountWindow::ColName, 1);
    otherPc(QString("UPDATE tblgrouping SET bankname = 'theirs' WHERE code = %1").arg(pct));
    m_d->retype("htField(4)", "memo", w);
    click(w, "btnSave");
    QCOMPARE(
        cell("SELECT bankname || '|' || smemo FROM tblgrouping WHERE code = ?", {pct}).toString(),
        QString("theirs|memo"));
    prompt().clear();
    otherPc(QString("UPDATE tblgrouping SET sbalance = 5 WHERE code = %1").arg(pct));
    m_d->retype("htField(3)", "2,000", w);
    click(w, "btnSave");
    QVERIFY(
        prompts().value(0).startsWith("이 자료를 불러온 뒤 다른 곳에서 자료가 수정되었습니다."));
    QCOMPARE(cell("SELECT sbalance FROM tblgrouping WHERE code = ?", {pct}).toDouble(), 5.0);
    QCOMPARE(w->findChild<QLineEdit*>("htField(3)")->text(), QString("5"));
    // A card may carry an account's name.
    const int card = addPlace("2", "a_b", 0, pct);
    const int payer = addPlace("1", "a_b", 0);
    addEntry("2026-12-01", 2, 10, 1, payer);
    w->UpdateAC();
    QCOMPARE(w->grid()->dataRowCnt(), 2);
    prompt().clear();
    for (int code : {payer, pct}) {
        m_d->clickCell(w->grid(), AccountWindow::ColName,
                  w->grid()->searchCol(AccountWindow::ColCode, 1, -1, QString::number(code)));
        click(w, "btnRecDel");
    }
    QCOMPARE(
        prompts(),
        QStringList({"입출금관리에 통장에 관한 내용이 존재 합니다.",
                     "해당 데이터가 「신용카드관리」에서 사용중이기 때문에 삭제할 수 없습니다."}));
    ExecSQL("DELETE FROM tblgrouping WHERE code = ?", {card});
    prompt().pushAnswer(Prompt::Answer::Yes);
    click(w, "btnRecDel");
    QCOMPARE(CountRows("tblgrouping", "code = ?", {pct}), 0);
}

void TestMoneyWindows::accountAddedFromPickerList() {
    addPlace("1", "통장A");
    addPlace("1", "통장B");
    frmRecord* w = ledger();
    enterCell(w->grid(), frmRecord::ColSection, 1, "4");
    QStringList listed;
    OnModal([this, &listed](QWidget* list) {
        QCOMPARE(list->windowTitle(), QString("입금통장검색"));
        // F2 in the list adds an account through the account window.
        OnModal([this](QWidget* editor) {
            QCOMPARE(editor->windowTitle(), QString("통장관리 - 『신규등록』"));
            auto* name = editor->findChild<QLineEdit*>("htField(0)");
            name->setFocus();
            m_d->type("통장C");
            ClickAsPerson(editor->findChild<QPushButton*>("btnSave"));
        });
        auto* grid = list->findChild<Grid*>("spList");
        QTest::keyClick(grid, Qt::Key_F2);
        for (int r = 1; r <= grid->dataRowCnt(); ++r)
            listed << grid->text(1, r);
        grid->setActiveCell(1, grid->searchCol(1, 1, -1, "통장C"));
        QTest::keyClick(grid, Qt::Key_Return);
    });
    enterCell(w->grid(), frmRecord::ColAcIn, 1, "통장");
    QCOMPARE(listed, QStringList({"통장A", "통장B", "통장C"}));
    QCOMPARE(cell("SELECT cgroupin FROM tbljangbu").toInt(), AccountCodeByName("통장C", "1"));
    QCOMPARE(w->grid()->text(frmRecord::ColAcIn, 1), QString("통장C"));
    // The ledger's account filter lists the new account.
    QVERIFY(w->findChild<QComboBox*>("cmbAcc")->findText("통장☞ 통장C") > 0);
}

void TestMoneyWindows::cardWindow() {
    addPlace("1", "국민");
    auto* w = open<frmCard>("mnuRecord_Card", "frmCard");
    QVERIFY(w);
    m_d->retype("htField(0)", "O'Neil 카드", w);
    click(w, "btnSave");
    w->findChild<QComboBox*>("cmbAccount")->setCurrentText("국민");
    click(w, "btnSave");
    click(w, "btnRecAdd");
    m_d->retype("htField(0)", "O'Neil 카드", w);
    w->findChild<QComboBox*>("cmbAccount")->setCurrentText("국민");
    click(w, "btnSave");
    QCOMPARE(prompts(), QStringList({"출금통장을 선택하지 않았습니다",
                                     "[O'Neil 카드]은 이미 등록된 신용카드입니다."}));
    QCOMPARE(CountRows("tblgrouping", "accountclass = '2'"), 1);
    QCOMPARE(w->grid()->text(AccountWindow::ColFourth, 1), QString("국민"));
    const int card = AccountCodeByName("O'Neil 카드", "2");
    addEntry("2026-12-01", 6, 10, card, 1);
    prompt().clear();
    m_d->clickCell(w->grid(), AccountWindow::ColName, 1);
    click(w, "btnRecDel");
    QCOMPARE(prompts(), QStringList({"입출금관리에 카드에 관한 내용이 존재 합니다."}));

    // A card typed into a ledger line that does not exist yet is added as a card.
    frmRecord* r = ledger();
    enterCell(r->grid(), frmRecord::ColSection, 2, "7");
    OnModal([](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), QString("신용카드관리 - 『신규등록』"));
        modal->findChild<QComboBox*>("cmbAccount")->setCurrentText("국민");
        ClickAsPerson(modal->findChild<QPushButton*>("btnSave"));
    });
    enterCell(r->grid(), frmRecord::ColCard, 2, "new");
    const int added = AccountCodeByName("new", "2");
    QVERIFY(added > 1);
    QCOMPARE(r->grid()->text(frmRecord::ColCard, 2), QString("new"));
    QCOMPARE(
        cell("SELECT cgroupin FROM tbljangbu WHERE sectionclass = '6' ORDER BY code DESC").toInt(),
        added);
}

void TestMoneyWindows::categories() {
    ExecSQL("INSERT INTO tblitem (inoutclass, bigo) VALUES ('0', 'old income'), ('1', 'salary'), "
            "('2', 'food'), "
            "('2', 'fuel')");
    auto* w = open<frmItem>("mnuRecord_Section", "frmItem");
    QVERIFY(w);
    click(w, "opInOut(0)");
    QCOMPARE(w->rowCount(), 2);
    QCOMPARE(w->grid()->text(frmItem::ColClass, 1), QString("수입"));
    click(w, "opInOut(2)");
    click(w, "btnRecAdd");
    auto* ed = dynamic_cast<frmItemSub*>(WindowRegistry::find("frmItemSub"));
    QVERIFY(ed);
    QCOMPARE(ed->windowTitle(), QString("항목등록 -『신규등록』"));
    click(ed, "btnSave");
    m_d->retype("txtBigo", "it's", ed);
    ed->findChild<QComboBox*>("cmbInOut")->setCurrentIndex(-1);
    click(ed, "btnSave");
    ed->findChild<QComboBox*>("cmbInOut")->setCurrentIndex(1);
    click(ed, "btnSave");
    QCOMPARE(prompts(), QStringList({"내용이 입력되지 않았습니다", "구분을 선택하지 않았습니다"}));
    QCOMPARE(cell("SELECT inoutclass FROM tblitem WHERE bigo = 'it''s'").toString(), QString("2"));
    QVERIFY(WindowRegistry::find("frmItemSub")); // continue is ticked by default
    QCOMPARE(w->rowCount(), 5);
    // A category renamed on another PC while it is open for editing is not overwritten
    // without a question.
    RaiseChildWindow(w);
    m_d->clickCell(w->grid(), frmItem::ColText, w->grid()->searchCol(frmItem::ColText, 1, -1, "food"));
    click(w, "btnRecEdit");
    otherPc("UPDATE tblitem SET bigo = 'fish' WHERE bigo = 'food'");
    prompt().clear();
    m_d->retype("txtBigo", "meal", ed);
    click(ed, "btnSave");
    QVERIFY(prompts().value(0).startsWith("이 자료를 불러온 뒤 다른"));
    QCOMPARE(CountRows("tblitem", "bigo = 'meal'"), 0);
    QCOMPARE(CountRows("tblitem", "bigo = 'fish'"), 1);

    // The group funds' list has its own title and table.
    auto* affairs = open<frmItem>("mnuAffairs_Section", "frmItem_Affairs");
    QVERIFY(affairs);
    QCOMPARE(affairs->windowTitle(), QString("항목관리 - 그룹자금"));
    QCOMPARE(affairs->rowCount(), 0);
    click(affairs, "btnRecAdd");
    auto* affairsEditor = dynamic_cast<frmItemSub*>(WindowRegistry::find("frmItemSub_Affairs"));
    QVERIFY(affairsEditor && affairsEditor != ed);
    QCOMPARE(affairsEditor->table(), QString("tblaffairsnote"));

    // From a ledger line: several matches open the picker on the line's class.
    frmRecord* r = ledger();
    enterCell(r->grid(), frmRecord::ColSection, 1, "1");
    int shownRows = -1;
    OnModal([&shownRows](QWidget* modal) {
        auto* picker = dynamic_cast<frmItem*>(modal);
        QVERIFY(picker);
        QCOMPARE(picker->windowTitle(), QString("항목선택"));
        shownRows = picker->rowCount();
        picker->grid()->setFocus();
        picker->grid()->setActiveCell(frmItem::ColText, 2);
        QTest::keyClick(picker->grid(), Qt::Key_Return);
    });
    enterCell(r->grid(), frmRecord::ColItem, 1, "f");
    QCOMPARE(shownRows, 2);
    QCOMPARE(cell("SELECT ctblitem FROM tbljangbu").toString(), QString("fuel"));
    // A transfer's category may be of either class: a new one asks for its class.
    enterCell(r->grid(), frmRecord::ColSection, 2, "9");
    OnModal([](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), QString("항목등록 -『신규등록』"));
        modal->findChild<QComboBox*>("cmbInOut")->setCurrentIndex(0);
        ClickAsPerson(modal->findChild<QPushButton*>("btnSave"));
    });
    enterCell(r->grid(), frmRecord::ColItem, 2, "moving");
    QCOMPARE(cell("SELECT inoutclass FROM tblitem WHERE bigo = 'moving'").toString(), QString("1"));
    QCOMPARE(r->grid()->text(frmRecord::ColItem, 2), QString("moving"));
}

void TestMoneyWindows::usagePlaces() {
    ExecSQL("INSERT INTO tblusename (sname) VALUES ('used')");
    const int used = LastIdentity();
    addEntry("2026-12-01", 0, 10, 1, 1, {}, used);
    auto* w = open<frmUseName>("mnuRecord_UseName", "frmUseName");
    QVERIFY(w);
    Grid* g = w->grid();
    QCOMPARE(g->maxRows(), 2);
    enterCell(g, frmUseName::ColName, 2, "O'Neil");
    QCOMPARE(g->maxRows(), 3);
    enterCell(g, frmUseName::ColName, 1, "renamed");
    m_d->clickCell(g, frmUseName::ColName, 2);
    m_d->key(Qt::Key_Delete);
    m_d->key(Qt::Key_Tab);
    QCOMPARE(cell("SELECT sname FROM tblusename WHERE code = ?", {used}).toString(),
             QString("renamed"));
    QCOMPARE(CountRows("tblusename", "sname = 'O''Neil'"), 1);
    QCOMPARE(g->text(frmUseName::ColName, 2), QString("O'Neil"));
    m_d->clickCell(g, frmUseName::ColName, 1);
    click(w, "btnRecDel");
    QCOMPARE(prompts(), QStringList({"입출금관리에 사용처명에 관한 내용이 존재 합니다."}));
    // One name for two places is refused; the cell shows the stored name again.
    prompt().clear();
    enterCell(g, frmUseName::ColName, 2, "renamed");
    QCOMPARE(prompts(), QStringList({"[renamed]은 이미 등록된 사용처입니다."}));
    QCOMPARE(g->text(frmUseName::ColName, 2), QString("O'Neil"));
    QCOMPARE(CountRows("tblusename", "sname = 'renamed'"), 1);
    // Renamed on another PC meanwhile: asked, and by default their name is kept and shown.
    otherPc(QString("UPDATE tblusename SET sname = 'theirs' WHERE code = %1").arg(used));
    prompt().clear();
    enterCell(g, frmUseName::ColName, 1, "mine");
    QVERIFY(
        prompts().value(0).startsWith("이 자료를 불러온 뒤 다른 곳에서 자료가 수정되었습니다."));
    QCOMPARE(cell("SELECT sname FROM tblusename WHERE code = ?", {used}).toString(),
             QString("theirs"));
    QCOMPARE(g->text(frmUseName::ColName, 1), QString("theirs"));

    m_d->clickCell(g, frmUseName::ColName, 2);
    prompt().pushAnswer(Prompt::Answer::Yes);
    click(w, "btnRecDel");
    QCOMPARE(CountRows("tblusename", "sname = 'O''Neil'"), 0);
}

void TestMoneyWindows::balanceRecords() {
    const int a = addPlace("1", "국민");
    const int b = addPlace("1", "신한");
    addEntry("2026-03-01", 9, 100, b);
    addEntry("2026-03-01", 9, 200, a);
    addEntry("2026-03-01", 9, 250, a); // a later record of the day wins
    addEntry("2026-04-01", 9, 300, b);
    addEntry("2026-04-01", 3, 999, a);
    auto* balance = open<frmBalance>("mnuRecord_Balance", "frmBalance");
    QVERIFY(balance);
    click(balance, "btnBalanceWrite");
    auto* w = dynamic_cast<frmBalance_Write*>(WindowRegistry::find("frmBalance_Write"));
    QVERIFY(w);
    Grid* g = w->grid();
    QCOMPARE(g->maxCols(), 3);
    QCOMPARE(g->headerText(2), QString("국민"));
    QCOMPARE(g->rowTexts(1), QStringList({"2026-03-01", "250", "100"}));
    QCOMPARE(g->rowTexts(2), QStringList({"2026-04-01", "", "300"}));
}

void TestMoneyWindows::graphs() {
    const int a = addPlace("1", "국민");
    addEntry("2025-12-10", 0, 100);
    addEntry("2026-01-10", 2, 200, 1, a);
    addEntry("2026-01-11", 5, 999, a);
    auto* w = open<FrmRPT_graphA>("mnuRecord_Graph", "FrmRPT_graphA");
    QVERIFY(w);
    w->period()->SetText1("2025-01-01");
    click(w, "optType(7)");
    click(w, "btnQuery");
    auto* graph = dynamic_cast<FrmGraph*>(WindowRegistry::find("FrmGraph"));
    QVERIFY(graph);
    QCOMPARE(graph->pointCount(), 2);
    QCOMPARE(graph->findChild<QLabel*>("lblDataCnt")->text(), QString("총 2건"));
    QCOMPARE(graph->barColor(), QColor(255, 0, 0));

    // Columns per page: bad values are refused and reset to 1, which gives two pages.
    for (const char* bad : {"0", "1.5", "abc"}) {
        m_d->retype("htMax(0)", bad, graph);
        m_d->key(Qt::Key_Return);
        QCOMPARE(graph->findChild<QLineEdit*>("htMax(0)")->text(), QString("1"));
    }
    QCOMPARE(prompts(), QStringList(3, "1이상의 수치만 입력가능합니다."));
    QCOMPARE(graph->findChild<QLabel*>("lblPage")->text(), QString("1/2"));
    QVERIFY(!graph->findChild<QPushButton*>("cmdMovePage(0)")->isEnabled());
    click(graph, "cmdMovePage(1)");
    QCOMPARE(graph->findChild<QLabel*>("lblPage")->text(), QString("2/2"));
    QVERIFY(!graph->findChild<QPushButton*>("cmdMovePage(1)")->isEnabled());

    prompt().push(QColor(0, 128, 0));
    click(graph, "btnColor(0)");
    click(graph, "chkGrpStat(0)");
    graph->findChild<QComboBox*>("cboGraphType")->setCurrentIndex(FrmGraph::BarAndLine);
    QSettings ini(Settings::configDir() + "/GraphControl.ini", QSettings::IniFormat);
    ini.beginGroup("Config");
    QCOMPARE(ini.value("MaxCols").toString(), QString("1"));
    QCOMPARE(ini.value(QString("막대색")).toString(), QString::number(128 * 256));
    QCOMPARE(ini.value(QString("값보기")).toString(), QString("1"));
    QCOMPARE(ini.value("GraphType").toString(), QString("2"));
    QCOMPARE(prompt().shown().last().title, QString("막대색 선택"));

    // Printing renders the title and the page into a PDF.
    QVERIFY(QFileInfo(printed(graph, m_d->env(), "graph.pdf")).size() > 1000);
}

// Days too many for a date under every bar: each day keeps its bar, and each date shown
// stands under the bar of that day, the first of every month among them, across month
// ends, the 31st, a leap day and a day without entries.
void TestMoneyWindows::graphDayLabels() {
    for (QDate d(2024, 1, 1); d < QDate(2024, 4, 20); d = d.addDays(1))
        if (d != QDate(2024, 3, 31))
            addEntry(d.toString("yyyy-MM-dd"), 0, d.month() * 100 + d.day()); // 229: Feb 29
    auto* w = open<FrmRPT_graphA>("mnuRecord_Graph", "FrmRPT_graphA");
    QVERIFY(w);
    w->period()->SetText1("2024-01-01");
    w->period()->SetText2("2024-12-31");
    FrmGraph* graph = graphOf(w, "optType(0)");
    QVERIFY(graph);
    QCOMPARE(graph->pageCount(), 3);

    QStringList dates;
    QStringList bars;
    for (int page = 1; page <= 3; ++page) {
        graph->setPage(page);
        const GraphTexts seen = graphTexts(graph);
        QCOMPARE(seen.values.size(), page < 3 ? 50 : 109 - 100);
        for (const auto& v : seen.values)
            bars << v.second;
        QVERIFY2(seen.names.size() >= 5 && seen.names.size() < 25,
                 qPrintable(QString::number(seen.names.size())));
        for (const auto& [x, date] : seen.names) {
            // The value written over the nearest bar is that day's month and day.
            const auto under = std::min_element(
                seen.values.begin(), seen.values.end(), [x = x](const auto& a, const auto& b) {
                    return std::abs(a.first - x) < std::abs(b.first - x);
                });
            const QDate d = QDate::fromString(date, "yyyy-MM-dd");
            QVERIFY2(d.isValid(), qPrintable(date));
            QCOMPARE(under->second, QString::number(d.month() * 100 + d.day()));
            dates << date;
        }
    }
    QCOMPARE(bars.size(), 109);
    QCOMPARE(bars.mid(29, 3), QStringList({"130", "131", "201"}));
    QCOMPARE(bars.mid(59, 3), QStringList({"229", "301", "302"}));
    QCOMPARE(bars.mid(89, 3), QStringList({"330", "401", "402"}));
    for (const char* first : {"2024-01-01", "2024-02-01", "2024-03-01", "2024-04-01"})
        QVERIFY2(dates.contains(first), qPrintable(dates.join(' ')));
    QCOMPARE(dates.removeDuplicates(), 0);
}

QTEST_MAIN(TestMoneyWindows)
#include "tst_moneywindows.moc"

// The bars a person reads: one per usage place, entries without one under "(없음)", values
// written whole with separators, the unit on the value axis, week names whole, the title
// printed once.
void TestMoneyWindows::graphNamesAndValues() {
    ExecSQL("INSERT INTO tblusename (sname) VALUES ('마트'), ('한강')");
    const int mart = cell("SELECT code FROM tblusename WHERE sname = '마트'").toInt();
    const int river = cell("SELECT code FROM tblusename WHERE sname = '한강'").toInt();
    addEntry("2026-01-05", 0, 200);
    addEntry("2026-01-06", 0, 400);
    addEntry("2026-01-07", 0, 100, 1, 1, {}, mart);
    addEntry("2026-01-08", 0, 1173000, 1, 1, {}, river);
    auto* w = open<FrmRPT_graphA>("mnuRecord_Graph", "FrmRPT_graphA");
    QVERIFY(w);
    FrmGraph* graph = graphOf(w, "optType(5)");
    QVERIFY(graph);
    QCOMPARE(barsSeen(graph), QStringList({"(없음)=600", "마트=100", "한강=1,173,000"}));
    const QStringList texts = graphTexts(graph).all;
    QVERIFY2(texts.contains("금액 (원)") && texts.contains("사용처별"),
             qPrintable(texts.join('|')));
    QVERIFY2(texts.contains("1,200,000") || texts.contains("1,000,000"),
             qPrintable(texts.join('|')));
    graph->findChild<QComboBox*>("cboUnit")->setCurrentIndex(1);
    QCOMPARE(barsSeen(graph), QStringList({"(없음)=1", "마트=0", "한강=1,173"}));
    QVERIFY(graphTexts(graph).all.contains("금액 (천원)"));
    graph->findChild<QComboBox*>("cboUnit")->setCurrentIndex(0);

    // A year of weeks: fifty names on the first page, none cut short.
    ExecSQL("DELETE FROM tbljangbu");
    for (QDate d(2026, 1, 3); d.year() == 2026; d = d.addDays(7))
        addEntry(d.toString("yyyy-MM-dd"), 0, 1000 + d.dayOfYear());
    RaiseChildWindow(w); // the analysis lies under the maximised graph
    click(w, "optType(1)");
    click(w, "btnQuery");
    const QStringList weeks = barsSeen(graph);
    QCOMPARE(weeks.size(), 50);
    QCOMPARE(weeks.first(), QString("1월 1주차=1,003"));
    QCOMPARE(weeks.last(), QString("12월 2주차=1,346"));

    // The title once on the printed page.
    m_d->retype("txtTitle", "Costs 2026", graph);
    m_d->key(Qt::Key_Return);
    QProcess text;
    text.start("pdftotext", {printed(graph, m_d->env(), "title.pdf"), "-"});
    QVERIFY(text.waitForFinished());
    QCOMPARE(QString::fromUtf8(text.readAllStandardOutput()).count("Costs 2026"), 1);
}
