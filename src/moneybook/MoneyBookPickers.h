#pragma once

// Plugs the money book's windows into the lookup picker: the categories ("tblitem",
// "tblaffairsnote") through frmItem, new bank accounts ("ACIn", "ACOut") through
// frmAccount and new cards ("Card") through frmCard. Call once at start-up.
void RegisterMoneyBookPickers();
