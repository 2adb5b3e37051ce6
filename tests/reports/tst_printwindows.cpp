#include "PdfRead.h"
#include "WindowTest.h"

#include "app/MoneyBookCommands.h"
#include "core/AppState.h"
#include "core/PrivateData.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/MemberStore.h"
#include "members/frmFriend.h"
#include "moneybook/frmRecord.h"
#include "reports/FrmSPPrint_HeaderFooter.h"
#include "reports/FrmSPPrint_Preview.h"
#include "reports/PrintContext.h"
#include "reports/PrintService.h"
#include "reports/PrintSetup.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/cFpPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>


// Printing the member list as a person does: F7 in the list opened from the menu, then
// the preview's and the dialogs' buttons.
class tst_printwindows : public WindowTest {
    Q_OBJECT

    static QWidget* window(const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String(name) && w->isVisible()) {
                // A newly opened window is the one the person works in.
                w->activateWindow();
                if (!QTest::qWaitForWindowActive(w)) qWarning("%s is not active", name);
                return w;
            }
        }
        return nullptr;
    }
    Grid* openList() {
        auto* list = m_d->open<frmFriend>("mnuFriend_Friend");
        return list ? list->grid() : nullptr;
    }
    FrmSPPrint_Preview* pressF7(Grid* grid) {
        grid->setFocus();
        m_d->key(Qt::Key_F7);
        return qobject_cast<FrmSPPrint_Preview*>(window("FrmSPPrint_Preview"));
    }
    QString savePdf(QWidget* preview, const QString& name = "list.pdf") {
        m_d->click("btnPrint", preview);
        QWidget* dlg = window("FrmSPPrint_PrintDlg");
        const QString file = m_d->env().path(name);
        prompt().pushText(file);
        m_d->click("btnPdf", dlg);
        m_d->click("btnClose", dlg);
        return QFile::exists(file) ? file : QString();
    }
    // The numbers of the members named on a printed page, in order ("001", ...).
    static QStringList membersOn(const QString& page) {
        static const QRegularExpression name("회원(\\d{3})");
        QStringList out;
        for (auto it = name.globalMatch(page); it.hasNext();)
            out << it.next().captured(1);
        return out;
    }
    void close(QWidget* preview) {
        m_d->click("btnClose", preview);
        QCoreApplication::processEvents();
    }
    QString pageLabel(QWidget* preview) { return m_d->find<QLabel>("lblPage", preview)->text(); }
    // Members numbered from..to with most columns of the list filled (fax and resident
    // number left empty), so the list is wider than a page.
    static void addMembers(int from, int to) {
        for (int i = from; i <= to; ++i) {
            MemberValues v;
            v.insert("sname", QString("회원%1").arg(i, 3, 10, QChar('0')));
            v.insert("hpline", QString("010-0000-%1").arg(i, 4, 10, QChar('0')));
            v.insert("hline1", "02-555-0101");
            v.insert("hline2", "031-777-0202");
            v.insert("homeadd", "서울시 중구 세종대로 110 시청별관 3층");
            v.insert("smemo", "O'Neil 님 소개");
            v.insert("mail", "member@example.kr");
            v.insert("homepi", "https://example.kr/home");
            SaveMember(0, v);
        }
    }

private slots:
    void init() {
        WindowTest::init();
        InstallPrintService(App().appTitle);
        RegisterMoneyBookCommands();
        addMembers(1, 80);
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith("FrmSP") || w->objectName() == "FrmPrn_selPRT")
                w->close();
        WindowTest::cleanup();
        cFpPreview::install(nullptr);
        GridModel::setFetchBlockRows(256);
    }

    void withoutSetUpSaysSo() {
        cFpPreview::install(nullptr);
        Grid* grid = openList();
        QVERIFY(!pressF7(grid));
        QCOMPARE(prompt().lastText(), QString("사용 프로그램이 설정되지 않았습니다."));
    }

    void firstPrintUsesTheListDefaults() {
        Grid* grid = openList();
        QCOMPARE(grid->dataRowCnt(), 80);
        const int excluded = frmFriend::ColPhone1;
        const QString excludedHeader = grid->headerText(excluded);
        SaveSpreadRPTCol("frmFriend", grid, {{excluded, false}});
        // Not fitted to the width, the wide list continues on further pages.
        Settings::set(PrintAppName(), "frmFriend", PrintKey::CheckBox(OptFitToPage), "0");
        FrmSPPrint_Preview* preview = pressF7(grid);
        QVERIFY(preview);
        const int pages = preview->context()->job().pageCount();
        QCOMPARE(pageLabel(preview), QString("1/%1 쪽").arg(pages));
        QCOMPARE(preview->zoom(), int(DefaultZoom));
        m_d->click("btnNext", preview);
        QCOMPARE(pageLabel(preview), QString("2/%1 쪽").arg(pages));
        m_d->click("btnPrevious", preview);
        QCOMPARE(preview->currentPage(), 1);
        QVERIFY(!grid->colHidden(excluded)); // the list itself shows the column again

        const QString file = savePdf(preview);
        QVERIFY(!file.isEmpty());
        QCOMPARE(prompt().lastFileDir(),
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                     "/회원 리스트_2026-12-06.pdf");
        QVERIFY(pdf::info(file, "Page size").startsWith("842 x 595")); // wide list: landscape
        QCOMPARE(pdf::info(file, "Pages").toInt(), pages);
        const QString text = pdf::text(file);
        QVERIFY(text.contains("회원 리스트"));
        QVERIFY(text.contains(QString("Page: 1/%1").arg(pages)));
        QVERIFY(text.contains("출력일:2026.12.06"));
        QVERIFY(!text.contains(excludedHeader));
        QVERIFY(!text.contains(grid->headerText(frmFriend::ColCode)));
        // Neither the tick column nor the empty ones print.
        for (int col : {int(frmFriend::ColCheck), int(frmFriend::ColFax), int(frmFriend::ColIdNo)})
            QVERIFY2(!text.contains(grid->headerText(col)), qPrintable(grid->headerText(col)));
        // Pages that continue the list sideways repeat the names beside their cells.
        const QStringList pageTexts = text.split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(pageTexts.size(), pages);
        QStringList seen;
        for (const QString& page : pageTexts) {
            QVERIFY(page.contains(grid->headerText(frmFriend::ColName)));
            seen << membersOn(page);
        }
        const int bands = preview->context()->job().pageCount() /
                          ((80 + preview->context()->job().rowsPerPage() - 1) /
                           preview->context()->job().rowsPerPage());
        QVERIFY(bands >= 2);
        QCOMPARE(seen.size(), 80 * bands);
        for (int i = 0; i < seen.size(); ++i)
            QCOMPARE(seen[i], QString("%1").arg(i % 80 + 1, 3, 10, QChar('0')));
        // A column chosen in the report-column window prints even when empty.
        SaveSpreadRPTCol("frmFriend", grid, {{frmFriend::ColFax, true}});
        close(preview);
        QVERIFY(pdf::text(savePdf(pressF7(grid), "chosen.pdf"))
                    .contains(grid->headerText(frmFriend::ColFax)));
    }

    // A resident number prints masked, as the list shows it.
    void residentNumbersPrintMasked() {
        QCOMPARE(ExecSQL("UPDATE tblfriend SET idno = ? WHERE sname = '회원001'", {EncryptIdNo("900101-1234567")}), 1);
        const QString text = pdf::text(savePdf(pressF7(openList())));
        QVERIFY(text.contains("900101-1******"));
        QVERIFY(!text.contains("1234567"));
    }

    void previewShowsItsPageWhenOpened() {
        FrmSPPrint_Preview* preview = pressF7(openList());
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        // At "쪽 전체" the whole page fills the height or the width of the view.
        QWidget* view = m_d->find<QScrollArea>("scrPages", preview)->viewport();
        const QImage shot = view->grab().toImage();
        QRect white;
        int ink = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y);
                if (c == qRgb(255, 255, 255))
                    white |= QRect(x, y, 1, 1);
                else if (qGray(c) < 100 && white.contains(x, y))
                    ++ink;
            }
        QVERIFY2(white.height() >= view->height() * 8 / 10 || white.width() >= view->width() * 8 / 10,
                 qPrintable(QString("%1x%2 in %3x%4").arg(white.width()).arg(white.height())
                                .arg(view->width()).arg(view->height())));
        QVERIFY(ink > 200); // the page carries its text, not only its paper
        const QRect screen = preview->screen()->availableGeometry();
        QVERIFY2(screen.contains(preview->frameGeometry()),
                 qPrintable(QString("%1x%2").arg(preview->width()).arg(preview->height())));
        QStringList captions;
        for (const char* b : {"btnPrevious", "btnNext", "btnZoom", "btnPrint", "btnSetup",
                              "btnHeaderFooter", "btnClose"})
            captions << m_d->find<QAbstractButton>(b, preview)->text();
        QCOMPARE(captions.join(' '), QString("이전 다음 확대 인쇄 설정 머리글/바닥글 닫기"));
        QCOMPARE(m_d->find<QComboBox>("cmbZoom", preview)->currentText(), QString("쪽 전체"));
    }

    // The list printed whole also when it has read only its first rows (a block of 4).
    void rowsThatFillPagesExactly_data() {
        QTest::addColumn<int>("block");
        QTest::newRow("every row read") << 256;
        QTest::newRow("read a block at a time") << 4;
    }
    void rowsThatFillPagesExactly() {
        QFETCH(int, block);
        GridModel::setFetchBlockRows(block);
        Grid* grid = openList();
        FrmSPPrint_Preview* preview = pressF7(grid);
        const int perPage = preview->context()->job().rowsPerPage();
        close(preview);
        QVERIFY(perPage > 5 && perPage < 40);
        ExecSQL("DELETE FROM tblfriend WHERE code > 1");
        addMembers(1, 2 * perPage);
        for (int extra : {0, 1}) {
            if (extra) addMembers(2 * perPage + 1, 2 * perPage + 1);
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_F5);
            QCOMPARE(grid->dataRowCnt(), std::min(block, 2 * perPage + extra));
            // Fitted to the width, so each page holds every column and the count is by rows.
            preview = pressF7(grid);
            const int bands = preview->context()->job().pageCount() / (2 + extra);
            QCOMPARE(preview->context()->job().pageCount() % (2 + extra), 0);
            const QString file = savePdf(preview, QString("fill%1.pdf").arg(extra));
            close(preview);
            const QStringList pages = pdf::text(file).split(u'\f', Qt::SkipEmptyParts);
            QCOMPARE(pages.size(), (2 + extra) * bands);
            QCOMPARE(pdf::info(file, "Pages").toInt(), pages.size());
            for (int p = 0; p < pages.size(); ++p) {
                QVERIFY(pages[p].contains(QString("Page: %1/%2").arg(p + 1).arg(pages.size())));
                const QStringList names = membersOn(pages[p]);
                // Full pages, then the one row more alone on the last page of its columns.
                const int chunk = p % (2 + extra);
                QCOMPARE(names.size(), chunk < 2 ? perPage : 1);
                QCOMPARE(names.first().toInt(), chunk * perPage + 1);
            }
        }
    }

    void moneyBookPrintsItsTotals() {
        // The last amount leaves a bank account: only one of the account columns is filled.
        ExecSQL("INSERT INTO tblgrouping (accountclass, accountname) VALUES ('1', '국민')");
        const int bank = LastIdentity();
        for (const auto& [day, section, money] :
             {std::tuple{"2026-12-01", "0", 1500LL}, std::tuple{"2026-12-03", "0", 2000000000LL},
              std::tuple{"2026-12-05", "2", 12345678901LL}})
            ExecSQL("INSERT INTO tbljangbu (sdate, sectionclass, smoney, cgroupin, cgroupout) "
                    "VALUES (?, ?, ?, 1, ?)",
                    {QString(day), QString(section), double(money), *section == '2' ? bank : 1});
        auto* ledger = m_d->open<frmRecord>("mnuRecord_Record");
        QVERIFY(ledger);
        m_d->click("btnQuery", ledger);
        m_d->click("btnPrint", ledger);
        auto* preview = qobject_cast<FrmSPPrint_Preview*>(window("FrmSPPrint_Preview"));
        QVERIFY(preview);
        m_d->click("btnPrint", preview);
        QWidget* dlg = window("FrmSPPrint_PrintDlg");
        QVERIFY(m_d->find<QCheckBox>("Check1(7)", dlg)->isEnabled()); // fitting offered here too
        m_d->click("btnClose", dlg);
        const QString text = pdf::text(savePdf(preview, "ledger.pdf"));
        QVERIFY2(text.contains(QRegularExpression(
                     "\\[합 계\\] .*지 출 14,345,680,401 +잔 액 -14,345,680,401 +금 액 0")),
                 qPrintable(text));
        // Every digit of every amount and balance is on the paper, past 32 bits too.
        for (const auto& [day, amounts] :
             {std::pair{"12-03", QStringList{"2,000,000,000", "-2,000,001,500"}},
              std::pair{"12-05", QStringList{"12,345,678,901", "-14,345,680,401", "국민"}}}) {
            const QStringList lines = text.split(u'\n').filter(day);
            for (const QString& amount : amounts) {
                const QRegularExpression whole("(^| )" + QRegularExpression::escape(amount) + "( |$)");
                QVERIFY2(!lines.filter(whole).isEmpty(), qPrintable(lines.join('\n')));
            }
        }
        QVERIFY(!text.contains("삭제선택")); // the delete ticks are not printed
        // The caption over the account columns is printed whole, also over the one filled.
        QCOMPARE(QString(text).remove(u' ').count("통장/카드상세내역"), 1);
    }

    void pageSetupStoresItsKeysForThisListOnly() {
        FrmSPPrint_Preview* preview = pressF7(openList());
        m_d->click("btnSetup", preview);
        QWidget* setup = window("FrmSPPrint_PageSetup");
        QVERIFY(setup);
        QCOMPARE(m_d->find<QLineEdit>("txtMarginTop", setup)->text(), QString("0.50"));
        for (const char* bad : {"abc", "-1", "99"}) {
            m_d->retype("txtMarginLeft", bad, setup);
            m_d->click("btnOK", setup);
            QVERIFY(prompt().lastText().startsWith("여백은 0.00 ~ 3.00"));
            QVERIFY(setup->isVisible());
            QVERIFY(!Settings::contains(PrintAppName(), "frmFriend", "PrintMarginLeft"));
        }
        m_d->retype("txtMarginLeft", "0.75", setup);
        m_d->retype("txtMarginTop", "1", setup);
        m_d->click("optPortrait", setup);
        auto* zoom = m_d->find<QComboBox>("cmbZoom", setup);
        QCOMPARE(zoom->count(), 14);
        QCOMPARE(zoom->itemText(13), QString("Six Pages"));
        zoom->setCurrentIndex(ZoomTwoPages);
        m_d->click("btnOK", setup);
        QVERIFY(!window("FrmSPPrint_PageSetup"));
        const auto stored = [](const char* key) {
            return Settings::getIn(PrintAppName(), "frmFriend", key, "?");
        };
        QCOMPARE(stored("PrintMarginLeft"), QString("0.75"));
        QCOMPARE(stored("PrintMarginTop"), QString("1.00"));
        QCOMPARE(stored("PrintMarginBottom"), QString("0.50"));
        QCOMPARE(stored("PrintMarginRight"), QString("0.40"));
        QCOMPARE(stored("PrintOrientation"), QString("1"));
        QCOMPARE(stored("PrintZoomType"), QString::number(ZoomTwoPages));
        QCOMPARE(preview->pagesShown(), 2);
        QCOMPARE(preview->context()->job().setup().marginTop, 1440);

        const QString file = savePdf(preview);
        QVERIFY(pdf::info(file, "Page size").startsWith("595 x 842"));
        // Another list still prints with what it passes itself.
        QCOMPARE(ReadPrintSettings("frmOther", PrintSettings{}).marginTop,
                 PrintSettings{}.marginTop);
    }

    void zoomChoicesDoWhatTheyName() {
        FrmSPPrint_Preview* preview = pressF7(openList());
        preview->resize(1000, 800);
        auto* zoom = m_d->find<QComboBox>("cmbZoom", preview);
        const QSizeF page = preview->context()->job().pageSize();
        const auto chooseZoom = [&](int i) {
            zoom->setCurrentIndex(i);
            emit zoom->activated(i);
        };
        chooseZoom(Zoom100);
        const double hundred = preview->pageScale();
        chooseZoom(Zoom50);
        QCOMPARE(preview->pageScale(), hundred / 2);
        chooseZoom(ZoomPageWidth);
        const double width = preview->pageScale() * page.width();
        chooseZoom(ZoomWholePage);
        QVERIFY(preview->pageScale() * page.width() <= width + 0.5);
        using P = std::pair<int, int>;
        for (const auto& [z, pages] : {P{ZoomTwoPages, 2}, P{ZoomThreePages, 3}, P{ZoomFourPages, 4},
                                       P{ZoomSixPages, 6}}) {
            chooseZoom(z);
            QCOMPARE(preview->pagesShown(), pages);
        }
        m_d->click("btnZoom", preview); // steps to the next choice, round to the first
        QCOMPARE(preview->zoom(), int(Zoom200));
        QCOMPARE(m_d->find<QAbstractButton>("btnNext", preview)->font(), QApplication::font());
    }

    void optionsAreStoredWhenClicked() {
        FrmSPPrint_Preview* preview = pressF7(openList());
        m_d->click("btnPrint", preview);
        QWidget* dlg = window("FrmSPPrint_PrintDlg");
        QVERIFY(m_d->find<QCheckBox>("Check1(7)", dlg)->isEnabled()); // the member list may fit
        QCOMPARE(m_d->find<QLineEdit>("txtPage", dlg)->text(), QString("1"));
        QVERIFY(m_d->find<QCheckBox>("Check1(8)", dlg)->isChecked());
        m_d->click("Check1(8)", dlg);
        QCOMPARE(Settings::getIn(PrintAppName(), "frmFriend", "CheckBox_8", "?"), QString("0"));
        m_d->click("Check1(7)", dlg);
        QCOMPARE(Settings::getIn(PrintAppName(), "frmFriend", "CheckBox_7", "?"), QString("0"));
        QCOMPARE(preview->context()->job().scale(), 1.0);
        m_d->click("Check1(7)", dlg);
        QVERIFY(preview->context()->job().scale() < 1); // the wide list is scaled to the page
        m_d->click("btnClose", dlg);
        const QString text = pdf::text(savePdf(preview));
        QVERIFY(!text.contains("Page:"));
        QVERIFY(!text.contains("출력일"));
    }

    void pageRangeIsChecked() {
        FrmSPPrint_Preview* preview = pressF7(openList());
        const int pages = preview->context()->job().pageCount();
        QVERIFY(pages >= 2);
        m_d->click("btnPrint", preview);
        QWidget* dlg = window("FrmSPPrint_PrintDlg");
        m_d->click("optPage", dlg);
        for (const QString& bad : {QString("0"), QString("abc"), QString::number(pages + 1)}) {
            m_d->retype("txtPage", bad, dlg);
            m_d->click("btnPdf", dlg);
            QCOMPARE(prompt().lastText(),
                     QString("인쇄할 페이지를 바르게 입력하세요. (1 ~ %1)").arg(pages));
        }
        m_d->retype("txtPage", "2", dlg);
        const QString file = m_d->env().path("page2.pdf");
        prompt().pushText(file);
        m_d->click("btnPdf", dlg);
        QCOMPARE(pdf::info(file, "Pages"), QString("1"));
        QVERIFY(pdf::text(file).contains(QString("Page: 2/%1").arg(pages)));
    }

    void headerFooterEditor() {
        FrmSPPrint_Preview* preview = pressF7(openList());
        m_d->click("btnHeaderFooter", preview);
        auto* editor = qobject_cast<FrmSPPrint_HeaderFooter*>(window("FrmSPPrint_HeaderFooter"));
        QVERIFY(editor);
        auto* grid = m_d->find<QTableWidget>("grdLines", editor);
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("Right Justify"));
        QCOMPARE(grid->verticalHeaderItem(0)->text(), QString("Line 1"));
        QCOMPARE(grid->item(0, 1)->text(), QString("회원 리스트")); // the standard header in effect
        m_d->click("optFooter", editor);
        QCOMPARE(m_d->find<QAbstractButton>("btnSave", editor)->text(), QString("Save Footer Text"));

        const auto clickCell = [&](int row, int col) {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualItemRect(grid->item(row, col)).center());
        };
        clickCell(0, 1);
        m_d->type("A/S team");
        QTest::keyClick(editor->focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents(); // the cell editor commits on the next turn
        QCOMPARE(grid->item(0, 1)->text(), QString("A/S team"));
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->click("btnPageNumber", editor); // the cell holds text: asked first
        QCOMPARE(prompt().lastTitle(), QString("Replace Existing Text"));
        QCOMPARE(grid->item(0, 1)->text(), QString("A/S team"));
        clickCell(0, 2);
        m_d->click("btnPageNumber", editor);
        QCOMPARE(grid->item(0, 2)->text(), QString("<Page Number>"));
        prompt().push(QFont("DejaVu Serif", 14));
        clickCell(0, 1);
        m_d->click("btnFont", editor);
        auto* code = m_d->find<QLineEdit>("txtCode", editor);
        QCOMPARE(code->text(), QString("/c/fn\"DejaVu Serif\"/fz\"14\"/fb0/fi0/fu0/fk0A//S team"
                                       "/r/fn\"굴림체\"/fz\"10\"/fb0/fi0/fu0/fk0/p"));

        // Code typed in: the two parse errors leave the lines as they were.
        for (const auto& [bad, message] : {std::pair{"/fn\"x", "Error parsing FONT NAME"},
                                           std::pair{"/fz\"0\"x", "Error parsing FONT SIZE"}}) {
            const QString before = editor->code();
            m_d->retype(code, bad);
            QTest::keyClick(code, Qt::Key_Return);
            QCOMPARE(prompt().lastText(), QString(message));
            QCOMPARE(editor->code(), before);
        }
        m_d->click("btnSave", editor);
        QCOMPARE(Settings::getIn(PrintAppName(), "frmFriend", "PrintFooter", "?"), editor->code());
        const QString text = pdf::text(savePdf(preview, "footer.pdf"));
        QVERIFY(text.contains("A/S team"));
        QVERIFY(!text.contains("출력일"));     // the saved footer replaces the standard one
        QVERIFY(text.contains("회원 리스트")); // the header stays standard

        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnClear", editor);
        QCOMPARE(prompt().lastTitle(), QString("Clear Text"));
        QCOMPARE(editor->code(), QString());
        m_d->click("btnSave", editor);
        QVERIFY(pdf::text(savePdf(preview, "standard.pdf")).contains("출력일:2026.12.06"));
    }

    void printerPerDocumentType() {
        FrmSPPrint_Preview* preview = pressF7(openList());
        m_d->click("btnPrint", preview);
        QWidget* dlg = window("FrmSPPrint_PrintDlg");
        m_d->click("btnPrinterChoice", dlg);
        QWidget* choice = window("FrmPrn_selPRT");
        auto* list = m_d->find<QListWidget>("lstPrinter", choice);
        const auto pdfItems = list->findItems(PdfPrinterName, Qt::MatchExactly);
        QCOMPARE(pdfItems.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(pdfItems.first()).center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(pdfItems.first()).center());
        QVERIFY(!window("FrmPrn_selPRT"));
        QCOMPARE(PrinterForDocument("A4일반"), PdfPrinterName);
        QCOMPARE(Settings::getIn(App().appTitle, "Config", "A4일반_Printer", "?"), PdfPrinterName);

        // Printing goes to the stored printer: here a PDF file.
        const QString file = m_d->env().path("printed.pdf");
        prompt().pushText(file);
        m_d->click("btnPrint", dlg);
        QVERIFY(pdf::text(file).contains("회원 리스트"));

        m_d->click("btnPrinterChoice", dlg);
        choice = window("FrmPrn_selPRT");
        QCOMPARE(m_d->find<QListWidget>("lstPrinter", choice)->currentItem()->text(), PdfPrinterName);
        m_d->click("btnDefault", choice);
        QCOMPARE(Settings::getIn(App().appTitle, "Config", "A4일반_Printer", "?"), QString());
    }
};

QTEST_MAIN(tst_printwindows)
#include "tst_printwindows.moc"
