#pragma once

class frmFriend_Trade;
class frmService;

// Openers of the sales windows, their main-menu items and the service picker.

// Enables "거 래 내 용     등록 (&S)", "회 원 거 래     관리 (&T)", "신 용 카 드     등록 (&C)"
// and "신용카드 입금 확인 (&R)", and plugs the services catalog into the lookup picker.
void RegisterSalesCommands();

frmService* OpenServiceList();
// The trades of one member (the member list's trade button).
frmFriend_Trade* OpenMemberTrades(int member);
