#pragma once

class QIcon;
class QString;
class QWidget;

// The about text: name, version, and where this copy keeps its data.
QString AboutText();

// The program's own icon (the menu entry's icon), in every size it is drawn in.
QIcon AppIcon();

// Korean texts whatever LANG says: the default locale becomes ko_KR and Qt's own Korean
// translations (standard buttons, file, colour and print dialogs) are loaded. Also sets the
// application's icon, version and desktop-file name (the panel groups windows by it), the
// Korean font (NanumBarunGothic where installed) and a style whose menus fit their captions.
// Returns false when Qt's Korean translation could not be found (the dialogs stay English).
bool SetUpDesktop();

// Folder searched for Qt's translations.
QString QtTranslationsDir();

// MEMBERDESK_STARTUP_PROBE set: the program runs without a person for a check (start-up
// benchmark, install checks): messages go to the log instead of dialogs, and once the login
// window has been painted the program prints one line and ends:
//   "ready ms=<ms since the application object was made> helpers=<ok|missing>
//    qt_ko=<ok|missing> version=<version>"
bool StartupProbeRequested();
void WatchStartupProbe(QWidget* login, bool qtKorean);
