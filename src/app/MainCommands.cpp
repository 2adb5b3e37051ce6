#include "app/MainCommands.h"

#include <QHash>

namespace {
struct Table {
    QHash<QString, MainCommand> openers;
    QStringList order;
    std::function<void()> changed;
};

Table& table() {
    static Table t;
    return t;
}

void notify() {
    if (table().changed) table().changed();
}
} // namespace

namespace MainCommands {

void add(const QString& name, MainCommand opener) {
    if (!opener) {
        remove(name);
        return;
    }
    if (!table().openers.contains(name)) table().order << name;
    table().openers.insert(name, std::move(opener));
    notify();
}

void remove(const QString& name) {
    if (table().openers.remove(name) == 0) return;
    table().order.removeAll(name);
    notify();
}

bool has(const QString& name) { return table().openers.contains(name); }

MainCommand opener(const QString& name) { return table().openers.value(name); }

QStringList names() { return table().order; }

bool run(const QString& name, frmMain* frame) {
    // A copy: the opener may re-register commands while it runs.
    const MainCommand fn = opener(name);
    if (!fn) return false;
    fn(frame);
    return true;
}

void setChangedListener(std::function<void()> listener) { table().changed = std::move(listener); }

} // namespace MainCommands

const QList<MainMenuEntry>& MainMenuLayout() {
    using E = MainMenuEntry;
    static const QList<MainMenuEntry> layout = {
        {E::TopMenu, "mnuFriend", "기초등록(&B)"},
        {E::Item, "mnuFriend_FriendSub", "회  원  등  록  (&F)"},
        {E::Item, "mnuFriend_Group", "그  룹  등  록  (&G)"},
        {E::Item, "mnuFriend_Friend", "회  원  관  리  (&M)"},
        {E::Separator, "", ""},
        {E::Item, "mnuFriend_User", "사용자 등  록  (&U)"},
        {E::Item, "mnuFriend_Option", "환  경  설  정  (&O)"},
        {E::Separator, "", ""},
        {E::Item, "mnuBasic_Exit", "  종       료     (&X)"},

        {E::TopMenu, "mnuTrade", "거래현황(&T)"},
        {E::Item, "mnuTrade_Call", "수신전화 목록 확인 (&L)"},
        {E::Separator, "", ""},
        {E::Item, "mnuTrade_Card", "신 용 카 드     등록 (&C)"},
        {E::Item, "mnuTrade_Receipt", "신용카드 입금 확인 (&R)"},
        {E::Separator, "", ""},
        {E::Item, "mnuTrade_Sub", "거 래 내 용     등록 (&S)"},
        {E::Item, "mnuTrade_List", "회 원 거 래     관리 (&T)"},

        {E::TopMenu, "mnuAffairs", "그룹별자금(&A)"},
        {E::Item, "mnuAffairs_Section", "항  목  관  리 (&S)"},
        {E::Item, "mnuAffairs_Money", "단체자금관리  (&A)"},

        {E::TopMenu, "mnuRecord", "입출금관리(&R)"},
        {E::Item, "mnuRecord_Section", "항  목  관  리  (&S)"},
        {E::Item, "mnuRecord_UseName", "사 용 처 관 리 (&U)"},
        {E::Separator, "", ""},
        {E::Item, "mnuRecord_Money", "기  초  현  금  (&M)"},
        {E::Item, "mnuRecord_Card", "신용카드등록  (&C)"},
        {E::Item, "mnuRecord_Account", "통  장  등  록  (&A)"},
        {E::Item, "mnuRecord_Balance", "통장별   잔액  (&B)"},
        {E::Separator, "", ""},
        {E::Item, "mnuRecord_Graph", "수입/지출분석 (&G)"},
        {E::Item, "mnuRecord_Record", "입 출 금 관 리 (&R)"},

        {E::TopMenu, "mnuETCRoot", "보조관리(&T)"},
        {E::Item, "mnuETCRoot_Schedule", "스케줄  관리      (&P)"},
        {E::Item, "mnuETCRoot_SMS", "문  자  전  송     (&S)"},
        {E::Separator, "", ""},
        {E::Item, "mnuETCRoot_Backup", "데이터백업        (&B)"},
        {E::Item, "mnuETCRoot_Reback", "데이터가져오기  (&R)"},
        {E::Item, "mnuETCRoot_Exel", "고객 엑셀가져오기 (&E)"},
        {E::Item, "mnuETCRoot_AS", "데이터 A/S접수  (&A)"},
        {E::Item, "mnuETCRoot_Del", "자료  삭제         (&D)"},
        {E::Separator, "", ""},
        {E::Item, "mnuETCRoot_Calc", "계산기              (&C)"},
        {E::Separator, "", ""},
        {E::SubMenu, "mnuTool_bgsetup_root", "바탕화면 설정"},
        {E::Item, "mnuTool_bgsetup1", "Logo 타일형 배치"},
        {E::Item, "mnuTool_bgsetup2", "Logo 가운데 배치"},
        {E::Separator, "", ""},
        {E::Item, "mnuTool_bgsetup3", "Logo 이미지 변경"},
        {E::Item, "mnuTool_bgsetup4", "Logo 없애기"},
        {E::Item, "mnuTool_bgsetup5", "Logo 기본 이미지"},
        {E::Separator, "", ""},
        {E::Item, "mnuTool_bgsetup6", "배경색 변경"},
        {E::Item, "mnuTool_bgsetup7", "기본 배경색"},
        {E::EndSubMenu, "", ""},
        {E::Item, "mnuETCRoot_Install", "최신버전 업데이트"},
        {E::Item, "mnuRegister_NetWorkOption", "네트워크 설정"},
        {E::SubMenu, "mnu_SeeIDSetUp", "발신번호 환경설정(&S)"},
        {E::Item, "mnu_SeeIDEnabled", "자동 발신번호 사용"},
        {E::Item, "mnu_SeeIDComPort", "사용 COM포트 설정"},
        {E::Item, "mnu_SeeIDTest", "발신번호 표시기 테스트"},
        {E::Item, "mnu_SeeIDFormatTelNo", "고객 전화번호 형식 자동 변경"},
        {E::Item, "mnu_SeeIDStanbyList", "발신번호 처리 대기 목록"},
        {E::EndSubMenu, "", ""},

        {E::TopItem, "mnuSupport", "원격지원(&E)"},

        {E::TopMenu, "mnuHelpDesk", "헬프데스크 (&H)"},
        {E::Item, "mnuHelpDeskSub", "헬프데스크 실행"},
        {E::Item, "mnuHelpDesk_AS", "A/S센터"},
        {E::Item, "mnuHelpDesk_About", "프로그램 정보 (&I)"},

        {E::TopMenu, "mnuWindow", "창(&W)"},
        {E::Item, "mnuWindow_AllClose", "모든 창 닫기(&C)"},
        {E::Separator, "", ""},
        {E::Item, "mnuWindow_Cascade", "계단식 배열(&S)"},
        {E::Item, "mnuWindow_Tile", "바둑판식 배열(&T)"},

        {E::TopItem, "mnuExit", "종료(&X)"},
    };
    return layout;
}

QString StartWindowCommand(const QString& startOption) {
    static const char* const byIndex[] = {"mnuFriend_Friend", "mnuRecord_Record", "mnuAffairs_Money",
                                          "mnuTrade_List", "mnuETCRoot_Schedule"};
    bool ok = false;
    const int index = startOption.trimmed().toInt(&ok);
    if (!ok || index < 0 || index > 4) return {};
    return QString::fromLatin1(byIndex[index]);
}

QString ToolbarCommand(int position) {
    switch (position) {
    case 1: return QStringLiteral("mnuFriend_Friend");
    case 2: return QStringLiteral("mnuTrade_List");
    case 3: return QStringLiteral("mnuAffairs_Money");
    case 5: return QStringLiteral("mnuTrade_Receipt");
    case 7: return QStringLiteral("mnuRecord_Record");
    case 8: return QStringLiteral("mnuRecord_Graph");
    case 10: return QStringLiteral("mnuETCRoot_Schedule");
    case 11: return QStringLiteral("mnuETCRoot_SMS");
    case 13: return QStringLiteral("mnuETCRoot_Calc");
    case 14: return QStringLiteral("mnuETCRoot_Backup");
    case 16: return QStringLiteral("mnuExit");
    default: return {};
    }
}
