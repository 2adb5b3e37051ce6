#include "EnvTest.h"
#include "OtherPc.h"

#include "db/Database.h"
#include "ui/Grid.h"
#include "ui/RecordWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A small usage-place editor over tblusename, as a real window is written.
class SampleEditor : public RecordEditor {
public:
    QLineEdit* txtName;
    QLineEdit* txtNote;
    QComboBox* cmbKind;
    QPlainTextEdit* txtMemo;
    QCheckBox* chkCun;

    SampleEditor() : RecordEditor(QStringLiteral("사용처관리")) {
        auto* layout = new QVBoxLayout(this);
        txtName = add<QLineEdit>("txtName", layout);
        txtNote = add<QLineEdit>("txtNote", layout);
        cmbKind = add<QComboBox>("cmbKind", layout);
        cmbKind->addItems({"수입", "지출"});
        txtMemo = add<QPlainTextEdit>("txtMemo", layout);
        chkCun = add<QCheckBox>("chkCun", layout);
        setContinueBox(chkCun);
        setCloseQuestion(CloseQuestion::Changed);
        trackChanges();
    }

protected:
    template <class W> W* add(const char* name, QVBoxLayout* layout) {
        auto* w = new W(this);
        w->setObjectName(QString::fromLatin1(name));
        layout->addWidget(w);
        return w;
    }
    void DispRec(int code) override {
        txtName->setText(GetScalar(QStringLiteral("SELECT sname FROM tblusename WHERE code = ?"),
                                   {code})
                             .toString());
    }
    bool checkInputs() override { return CheckRequired(txtName, QStringLiteral("사용처명")); }
    SqlStatement saveStatement() override {
        if (mode() == NewMode)
            return {QStringLiteral("INSERT INTO tblusename (sname) VALUES (?)"), {txtName->text()}};
        return {QStringLiteral("UPDATE tblusename SET sname = ? WHERE code = ?"),
                {txtName->text(), code()}};
    }
};

// The matching list: name and hidden code.
class SampleList : public RecordList {
public:
    Grid* spList;
    int edited = -1;
    int queries = 0;
    SampleList() : RecordList(QStringLiteral("사용처관리")) {
        spList = new Grid(this);
        spList->setObjectName(QStringLiteral("spList"));
        spList->setListMode();
        spList->setMaxCols(2);
        spList->setColHidden(2, true);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(spList);
        setListGrid(spList, 2, QStringLiteral("tblusename"));
    }
    void load() {
        Recordset rs;
        OpenRecordset(rs, QStringLiteral("SELECT code, sname FROM tblusename WHERE code <> 1 ORDER BY code"));
        spList->beginFill();
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            spList->appendRow({rs.text(QStringLiteral("sname")), rs.text(QStringLiteral("code"))});
        spList->endFill();
    }
    void query() override { ++queries; }

protected:
    void editRecord(int code) override { edited = code; }
};

// A main window with a multiple-document area that child windows open in; handed back
// to nobody when it goes.
struct Frame {
    QMainWindow window;
    QMdiArea* area = new QMdiArea(&window);
    explicit Frame(QSize size = {1000, 800}) {
        window.setCentralWidget(area);
        window.resize(size);
        window.show();
        WindowRegistry::setMdiArea(area);
    }
    ~Frame() { WindowRegistry::setMdiArea(nullptr); }
};

int insertPlace(const QString& name) {
    ExecSQL(QStringLiteral("INSERT INTO tblusename (sname) VALUES (?)"), {name});
    return LastIdentity();
}

} // namespace

class TestRecordWindow : public EnvTest {
    Q_OBJECT
private slots:
    void cleanup() {
        CloseAllChildren();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EnvTest::cleanup();
    }

    // A blank required input stops before saving; with "continue" ticked a saved record
    // clears the window for the next, without it the window closes; quotes are kept.
    void saveFlowRequiredContinueAndQuotes() {
        SampleEditor ed;
        QSignalSpy saved(&ed, &RecordEditor::recordSaved);
        ed.SetFormMode(1);
        ed.show();
        ed.txtName->setText(QStringLiteral("   "));
        QVERIFY(!ed.RecSave());
        QCOMPARE(m_env->prompt().texts(), QStringList{"[사용처명]은(는) 필수 입력 사항입니다."});
        QCOMPARE(m_env->prompt().lastTitle(), QStringLiteral("필수입력"));
        QVERIFY(m_env->notices().isEmpty());
        QCOMPARE(CountRows(QStringLiteral("tblusename")), 1);
        m_env->prompt().clear();
        QVERIFY(!CheckRequired(ed.txtNote));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("필수 입력사항을 입력하지 않았습니다."));
        m_env->prompt().clear();

        ed.chkCun->setChecked(true);
        ed.txtName->setText(QStringLiteral("하나"));
        QVERIFY(ed.RecSave());
        QVERIFY(ed.isVisible());
        QVERIFY(ed.txtName->text().isEmpty());
        QCOMPARE(ed.mode(), int(RecordEditor::NewMode));

        ed.chkCun->setChecked(false);
        ed.txtName->setText(QStringLiteral("O'Brien's \"가게\""));
        QVERIFY(ed.RecSave());
        QCOMPARE(saved.size(), 2);
        const int code = saved.at(1).at(0).toInt();
        QVERIFY(code > 1);
        QCOMPARE(GetScalar(QStringLiteral("SELECT sname FROM tblusename WHERE code = ?"), {code}).toString(),
                 QStringLiteral("O'Brien's \"가게\""));
        QCOMPARE(CountRows(QStringLiteral("tblusename"), QStringLiteral("code <> 1")), 2);
        QCOMPARE(m_env->notices(), (QStringList{"자료가 저장되었습니다.", "자료가 저장되었습니다."}));
        QVERIFY(m_env->prompt().shown().isEmpty());
        QVERIFY(!ed.isVisible());
    }

    // Edit mode loads the row; a save that changes no row (another PC deleted it) keeps the
    // window and what was typed.
    void editModeAndSaveAffectingNoRow() {
        SampleEditor ed;
        const int code = insertPlace(QStringLiteral("지점"));
        ed.SetFormMode(2, code);
        QCOMPARE(ed.windowTitle(), QStringLiteral("사용처관리 - 『수정』"));
        QCOMPARE(ed.txtName->text(), QStringLiteral("지점"));
        ed.show();
        QVERIFY(OtherPc().exec(QStringLiteral("DELETE FROM tblusename WHERE code = %1").arg(code)));
        ed.txtName->setText(QStringLiteral("새 지점"));
        QSignalSpy saved(&ed, &RecordEditor::recordSaved);
        QVERIFY(!ed.RecSave());
        QCOMPARE(m_env->prompt().texts(), QStringList{"수정된 내용이 없거나, 자료저장을 실패하였습니다."});
        QVERIFY(m_env->notices().isEmpty());
        QCOMPARE(saved.size(), 0);
        QVERIFY(ed.isVisible());
        QCOMPARE(ed.txtName->text(), QStringLiteral("새 지점"));
        QCOMPARE(ed.mode(), int(RecordEditor::EditMode));
        // The captions follow the mode; a new record starts empty.
        ed.setModeCaptions(QStringLiteral("항목등록 -『신규등록』"), QStringLiteral("항목등록 - 『수정』"));
        ed.SetFormMode(1);
        QCOMPARE(ed.windowTitle(), QStringLiteral("항목등록 -『신규등록』"));
        QVERIFY(ed.txtName->text().isEmpty());
    }

    void enterUpDownMoveBetweenInputs() {
        SampleEditor ed;
        ed.SetFormMode(1);
        ed.show();
        ed.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&ed));
        ed.txtName->setFocus();
        ed.txtName->setText(QStringLiteral("abc"));
        QTest::keyClick(ed.txtName, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), ed.txtNote);
        ed.txtNote->setText(QStringLiteral("note"));
        QTest::keyClick(ed.txtNote, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), ed.txtName);
        QTRY_COMPARE(ed.txtName->selectedText(), QStringLiteral("abc")); // entering selects all
        QTest::keyClick(ed.txtName, Qt::Key_Down);
        QTest::keyClick(ed.txtNote, Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), ed.cmbKind);
        QTest::keyClick(ed.cmbKind, Qt::Key_Return); // Up/Down change a drop-down's choice
        QCOMPARE(QApplication::focusWidget(), ed.txtMemo);
        QTest::keyClick(ed.txtMemo, Qt::Key_Return); // a memo takes its line breaks
        QCOMPARE(QApplication::focusWidget(), ed.txtMemo);
        QCOMPARE(ed.txtMemo->toPlainText(), QStringLiteral("\n"));
    }

    // Edit and delete from a list: nothing to edit or delete without a data row (the fixed
    // row is no data row), the questions and messages in order, a row deleted elsewhere
    // refused, F4 and F5 reaching the window.
    void listEditAndDelete() {
        SampleList list;
        list.show();
        list.editActive();
        QCOMPARE(m_env->prompt().texts(), QStringList{"먼저 그리드에서 수정할 자료를 선택하세요."});
        QCOMPARE(list.edited, -1);
        m_env->prompt().clear();
        list.spList->setRowTexts(1, {"", "1"});
        list.spList->setActiveCell(1, 1);
        QVERIFY(!list.RecDelete());
        QCOMPARE(m_env->prompt().texts(), QStringList{"삭제할 자료를 선택하세요."});
        QCOMPARE(CountRows(QStringLiteral("tblusename"), QStringLiteral("code = 1")), 1);

        const int a = insertPlace(QStringLiteral("가'게"));
        const int b = insertPlace(QStringLiteral("나"));
        list.load();
        list.spList->setActiveCell(0, 0);
        m_env->prompt().clear();
        QVERIFY(!list.RecDelete()); // no active row: nothing asked
        QCOMPARE(m_env->prompt().texts(), QStringList{"삭제할 자료를 선택하세요."});
        list.spList->setActiveCell(1, 1);
        list.editActive();
        QCOMPARE(list.edited, a);
        QTest::keyClick(list.spList, Qt::Key_F5);
        QCOMPARE(list.queries, 1);

        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        QVERIFY(!list.RecDelete());
        QCOMPARE(m_env->prompt().lastTitle(), QStringLiteral("삭제"));
        QCOMPARE(m_env->prompt().lastDefault(), Prompt::Answer::No);
        QCOMPARE(CountRows(QStringLiteral("tblusename"), QStringLiteral("code = ?"), {a}), 1);

        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        list.spList->setFocus();
        QTest::keyClick(list.spList, Qt::Key_F4);
        QCOMPARE(m_env->prompt().texts(), QStringList{"선택된 자료를 정말로 삭제 하시겠습니까?"});
        QCOMPARE(CountRows(QStringLiteral("tblusename"), QStringLiteral("code = ?"), {a}), 0);
        QCOMPARE(list.spList->dataRowCnt(), 1);
        QCOMPARE(list.spList->text(1, 1), QStringLiteral("나"));
        QCOMPARE(m_env->notices(), QStringList{"자료를 삭제하였습니다."});

        // Already deleted elsewhere: the warning, and the row stays.
        QVERIFY(OtherPc().exec(QStringLiteral("DELETE FROM tblusename WHERE code = %1").arg(b)));
        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        list.spList->setActiveCell(1, 1);
        QVERIFY(!list.RecDelete());
        QCOMPARE(m_env->prompt().texts(),
                 QStringList({"선택된 자료를 정말로 삭제 하시겠습니까?",
                              "코드[" + QString::number(b) + "]에 해당하는 자료를 삭제할 수 없습니다."}));
        QCOMPARE(list.spList->dataRowCnt(), 1);
        QCOMPARE(m_env->notices().size(), 1);

        // Trades have no fixed row: the first trade ever saved can be deleted.
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO tbltrade (code, sdate) VALUES (1, '2026-12-01')")), 1);
        list.setListGrid(list.spList, 2, QStringLiteral("tbltrade"));
        list.spList->setRowTexts(1, {"", "1"});
        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(list.RecDelete());
        QCOMPARE(CountRows(QStringLiteral("tbltrade")), 0);
    }

    void registryReusesAndClosesWindows() {
        Frame frame;
        QMdiArea* area = frame.area;
        auto* list = OpenChild<SampleList>(QStringLiteral("frmSampleList"));
        QCOMPARE(OpenChild<SampleList>(QStringLiteral("frmSampleList")), list);
        QCOMPARE(list->objectName(), QStringLiteral("frmSampleList"));
        QMdiSubWindow* sub = WindowRegistry::subWindowOf(list);
        QVERIFY(sub);
        const QRect vp = area->viewport()->rect();
        QVERIFY(qAbs(sub->geometry().center().x() - vp.center().x()) <= 1); // centred

        auto* ed = ChildWindow<SampleEditor>(QStringLiteral("frmSampleEdit"));
        ed->SetFormMode(1);
        FormFocus(ed);
        QCOMPARE(area->subWindowList().size(), 2);
        QTest::keyClicks(ed->txtName, QStringLiteral("x"));

        m_env->prompt().pushAnswer(Prompt::Answer::No); // keep the unsaved editor
        QVERIFY(!CloseAllChildren());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(area->subWindowList().size(), 1);
        QCOMPARE(WindowRegistry::find(QStringLiteral("frmSampleEdit")), ed);
        QVERIFY(!WindowRegistry::find(QStringLiteral("frmSampleList")));

        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(CloseAllChildren());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(area->subWindowList().isEmpty());
        QVERIFY(WindowRegistry::windows().isEmpty());
        // The list's position was kept in its layout file.
        QVERIFY(QFile::exists(m_env->path(QStringLiteral("FormIni/frmSampleList.ini"))));
        // A window closing itself after saving takes its frame along.
        ed = OpenChild<SampleEditor>(QStringLiteral("frmSampleEdit"));
        ed->SetFormMode(1);
        ed->txtName->setText(QStringLiteral("x"));
        QVERIFY(ed->RecSave());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(area->subWindowList().isEmpty());
    }

    // A second window opens in front of the first, inside the frame, with the cursor in
    // its first input, even when it would like to be larger than the frame.
    void newWindowComesToFrontFitsAndTakesTheKeyboard() {
        Frame frame({600, 400});
        QMdiArea* area = frame.area;
        QVERIFY(QTest::qWaitForWindowExposed(&frame.window));
        auto* list = OpenChild<SampleList>(QStringLiteral("frmSampleList"));
        auto* ed = ChildWindow<SampleEditor>(QStringLiteral("frmSampleEdit"));
        ed->setMinimumSize(200, 150);
        ed->txtName->setMinimumWidth(1500); // wants more room than the frame has
        ed->SetFormMode(1);
        FormFocus(ed);
        QMdiSubWindow* sub = WindowRegistry::subWindowOf(ed);
        QCOMPARE(area->activeSubWindow(), sub);
        QCOMPARE(area->subWindowList(QMdiArea::StackingOrder).last(), sub);
        QVERIFY(sub->width() <= area->viewport()->width());
        QVERIFY(sub->height() <= area->viewport()->height());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ed->txtName));
        QVERIFY(WindowRegistry::subWindowOf(list));
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(CloseAllChildren());
    }
};

QTEST_MAIN(TestRecordWindow)
#include "tst_recordwindow.moc"
