// Address labels: members ticked in the member list go to the direct-mail window through
// its button, and print as labels into a PDF read back with pdftotext.
#include "WindowTest.h"
#include "../reports/PdfRead.h"

#include "app/CommCommands.h"
#include "comm/FrmCust_DM.h"
#include "core/Settings.h"
#include "members/MemberStore.h"
#include "members/frmFriend.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

namespace {
constexpr double kMm = 72.0 / 25.4; // PDF points per millimetre

void addMembers(int count, const MemberValues& first = {}) {
    for (int i = 1; i <= count; ++i) {
        MemberValues v{{"sname", QString("홍길동%1").arg(i)},
                       {"homeadd", QString("Addr%1").arg(i, 2, 10, QChar('0'))},
                       {"homeadd2", QString("Apt%1").arg(i)},
                       {"hzipno", "123-456"},
                       {"hpline", QString("010-1234-%1").arg(1000 + i)}};
        if (i == 1)
            for (auto it = first.begin(); it != first.end(); ++it)
                v.insert(it.key(), it.value());
        SaveMember(0, v);
    }
}

// Left (text origin) and top of label `index` printed from `start`, with the default margins.
QPointF labelAt(int start, int index) {
    const int p = (start - 1 + index) % 16;
    return {(p % 2) * 102.06 + 3 + 3, (p / 2) * 33.86 + 13};
}

const pdf::Word* findWord(const QList<pdf::Word>& words, const QString& text) {
    for (const pdf::Word& w : words) {
        QString t = w.text;
        t.replace("&apos;", "'").replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">");
        if (t.replace("&amp;", "&") == text) return &w;
    }
    return nullptr;
}
} // namespace

class tst_dmlabels : public WindowTest {
    Q_OBJECT

    // The member list with every member ticked (or none), then its DM button.
    FrmCust_DM* sendToDm(bool tickAll = true) {
        auto* list = m_d->open<frmFriend>("mnuFriend_Friend");
        if (tickAll) m_d->click("chkSelectAll", list);
        m_d->click("btnDM", list);
        return dynamic_cast<FrmCust_DM*>(m_d->activeWindow());
    }

    // Chooses the PDF entry in the label printer choice, as a person does.
    void choosePdfPrinter(FrmCust_DM* dm) {
        m_d->click("btnPrnterSetup", dm);
        QWidget* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "FrmPrn_selPRT" && w->isVisible()) dialog = w;
        QVERIFY(dialog);
        auto* printers = dialog->findChild<QListWidget*>("lstPrinter");
        const auto items = printers->findItems("PDF 파일", Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        m_d->click(printers->viewport(), printers->visualItemRect(items.first()).center());
        m_d->click(dialog->findChild<QWidget*>("btnOK"));
    }

    // Prints to a PDF file and returns its path (empty when nothing was written).
    QString print(FrmCust_DM* dm) {
        const QString file = QDir(m_d->env().dataDir()).filePath("labels.pdf");
        prompt().pushAnswer(Prompt::Answer::Yes);
        prompt().pushText(file);
        m_d->click("btnPrint", dm);
        return QFile::exists(file) ? file : QString();
    }

private slots:
    void initTestCase() { RegisterLabelCommands(); }

    // Sheets fill across then down from the start position; a sheet starts only for a
    // label that goes on it.
    void labelsFillSheets_data() {
        QTest::addColumn<int>("members");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("pages");
        QTest::newRow("16 from 1 fill one sheet") << 16 << 1 << 1;
        QTest::newRow("17 from 1 need a second") << 17 << 1 << 2;
        QTest::newRow("12 from 5 end the sheet") << 12 << 5 << 1;
        QTest::newRow("13 from 5 need a second") << 13 << 5 << 2;
        QTest::newRow("1 at the last place") << 1 << 16 << 1;
    }
    void labelsFillSheets() {
        QFETCH(int, members);
        QFETCH(int, start);
        QFETCH(int, pages);
        addMembers(members);
        FrmCust_DM* dm = sendToDm();
        QVERIFY(dm);
        QCOMPARE(dm->grid()->dataRowCnt(), members);
        choosePdfPrinter(dm);
        QCOMPARE(m_d->find<QLabel>("lblPrint", dm)->text(), QString("프린터: PDF 파일"));
        auto* startPos = m_d->find<QComboBox>("cmbStartPos", dm);
        startPos->setCurrentIndex(startPos->findText(QString::number(start)));

        const QString file = print(dm);
        QVERIFY(!file.isEmpty());
        // The question, then the file chooser (which has no text).
        QCOMPARE(prompt().texts(), (QStringList{"정말 인쇄하시겠습니까?", ""}));
        QCOMPARE(pdf::info(file, "Pages"), QString::number(pages));
        for (int i = 0; i < members; ++i) {
            const int page = (start - 1 + i) / 16 + 1;
            const auto words = pdf::words(file, page);
            const pdf::Word* addr =
                findWord(words, QString("Addr%1").arg(i + 1, 2, 10, QChar('0')));
            QVERIFY2(addr, qPrintable(QString("label %1").arg(i + 1)));
            const QPointF at = labelAt(start, i);
            QVERIFY(qAbs(addr->xMin / kMm - (at.x() + 3)) < 1.0);
            QVERIFY(qAbs(addr->yMin / kMm - (at.y() + 5)) < 1.5);
            if (i == 0) {
                // Nothing above or before the first label on its sheet.
                for (const pdf::Word& w : words)
                    QVERIFY2(w.yMin / kMm > at.y() - 0.5, qPrintable(w.text));
            }
        }
    }

    // The texts of one label at their places; text too long for its room is cut inside
    // the label, quotes print as typed, an empty phone prints no "Tel.".
    void labelTextsStayInside() {
        const QString longName = QString("O'Brien \"Jr\" ") + QString("가").repeated(40);
        addMembers(2, {{"sname", longName},
                       {"homeadd", "Addr01 " + QString("W").repeated(200)},
                       {"hpline", ""},
                       {"hzipno", "12345"}});
        FrmCust_DM* dm = sendToDm();
        choosePdfPrinter(dm);
        const QString file = print(dm);
        QVERIFY(!file.isEmpty());
        const auto words = pdf::words(file);
        const QPointF first = labelAt(1, 0);
        const double right = first.x() - 3 + 99.06;
        QList<const pdf::Word*> honorifics;
        for (const pdf::Word& w : words) {
            if (w.xMin / kMm < 102.06) // the left label
                QVERIFY2(w.xMax / kMm <= right + 0.1, qPrintable(w.text));
            if (w.text == "귀하") honorifics << &w;
        }
        QCOMPARE(honorifics.size(), 2);
        const pdf::Word* o = findWord(words, "O");
        QVERIFY(o);
        QVERIFY(qAbs(o->xMin / kMm - (first.x() + 3)) < 1.0);
        QVERIFY(qAbs(o->yMin / kMm - (first.y() + 19)) < 1.5);
        QVERIFY(findWord(words, "'"));
        QVERIFY(findWord(words, "\""));
        // The spaced name ends before "귀하" of its label.
        for (const pdf::Word& w : words)
            if (qAbs(w.yMin - o->yMin) < 1 && w.xMin < honorifics.first()->xMin)
                QVERIFY2(w.xMax < honorifics.first()->xMin, qPrintable(w.text));
        // A file that cannot be written is reported, never taken for printed.
        prompt().clear();
        prompt().pushAnswer(Prompt::Answer::Yes);
        prompt().pushText("/nonexistent-folder/labels.pdf");
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        m_d->click("btnPrint", dm);
        QVERIFY(prompt().lastText().startsWith("인쇄를 시작하지 못했습니다."));
        const QString text = pdf::text(file);
        QCOMPARE(text.count("Tel."), 1);
        QVERIFY(text.contains("Tel.010-1234-1002"));
        // The zip code spaced out, from x + 60 on the last line.
        QStringList zip;
        for (const pdf::Word& w : words)
            if (qAbs(w.yMin / kMm - (first.y() + 26)) < 1.5 && w.xMin / kMm > first.x() + 59.5 &&
                w.xMax / kMm <= right)
                zip << w.text;
        QCOMPARE(zip.join(' '), QString("1 2 3 4 5"));
    }

    // The window's other buttons, their questions and what they leave in the grid.
    void buttonsAndSettings() {
        // No member ticked: the hint, then the window opens empty.
        addMembers(3);
        FrmCust_DM* dm = sendToDm(false);
        QVERIFY(dm);
        QCOMPARE(
            prompt().texts(),
            QStringList{"거래처들을 선택후 [DB발송]버튼 클릭시 DM발송창으로 자동으로 넘어갑니다."});
        QCOMPARE(dm->grid()->dataRowCnt(), 0);
        prompt().clear();
        m_d->click("btnPrint", dm);
        m_d->click("btnRecDel", dm);
        QCOMPARE(prompt().texts(),
                 (QStringList{"인쇄할 자료가 없습니다.", "삭제할 자료를 선택하세요."}));

        // Margins are kept as typed.
        m_d->retype("txtTopMG", "10.5", dm);
        QCOMPARE(Settings::get("Config", "DM_여백T"), QString("10.5"));
        m_d->retype("txtLeftMG", "60", dm); // out of range: the last usable text stays stored
        QCOMPARE(Settings::get("Config", "DM_여백L"), QString("6"));

        dm = sendToDm();
        Grid* g = dm->grid();
        QCOMPARE(g->dataRowCnt(), 3);
        prompt().clear();
        m_d->click("btnPrint", dm);
        QCOMPARE(prompt().texts(), QStringList{"여백은 -20 ~ 50 mm 사이의 숫자로 입력하세요."});
        QCOMPARE(m_d->focus(), m_d->find("txtLeftMG", dm));
        const QModelIndex second = g->model()->index(1, 0);
        m_d->click(g->viewport(), g->visualRect(second).center());
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnRecDel", dm);
        QCOMPARE(prompt().lastTitle(), QString("삭제"));
        QCOMPARE(g->dataRowCnt(), 2);
        QCOMPARE(g->text(FrmCust_DM::ColAddr1, 2), QString("Addr03"));

        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnDelTel", dm);
        QCOMPARE(prompt().lastTitle(), QString("전화번호 삭제"));
        QCOMPARE(g->text(FrmCust_DM::ColTel, 1), QString());
        QCOMPARE(g->text(FrmCust_DM::ColTel, 2), QString());
        QVERIFY(m_d->env().notices().contains("전화번호가 일괄삭제되었습니다"));
        QCOMPARE(m_d->query("SELECT hpline FROM tblfriend WHERE homeadd = 'Addr01'").toString(),
                 QString("010-1234-1001"));

        // F8 in the grid exports it to a spreadsheet file.
        m_d->click(g->viewport(), g->visualRect(g->model()->index(0, 0)).center());
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F8);
        const QStringList shown = prompt().texts();
        QCOMPARE(shown.at(shown.size() - 2), QString("엑셀로 자료를 내보내기 하시겠습니까?"));
        QVERIFY(shown.last().startsWith("엑셀 파일을 저장하였습니다.\n" + m_d->env().path("ExpExcel")));
        QCOMPARE(QDir(m_d->env().path("ExpExcel")).entryList({"*.xlsx"}).size(), 1);

        // A new window reads the kept set-up back.
        QVERIFY(CloseWindow(dm));
        dm = sendToDm(false);
        QCOMPARE(m_d->find<QLineEdit>("txtTopMG", dm)->text(), QString("10.5"));
        QCOMPARE(m_d->find<QLineEdit>("txtLeftMG", dm)->text(), QString("6"));
    }
};

QTEST_MAIN(tst_dmlabels)
#include "tst_dmlabels.moc"
