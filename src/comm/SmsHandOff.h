#pragma once

#include <QString>

class Grid;

// Hand-over of marked grid rows to the outside messaging program.
//
// The program ("SMSSend", settings application "문자전송기") lives in the program folder
// or in the folder its own installer wrote as "AppPath" (section "환경설정"). It reads
// the recipients from ExternTelNo.txt in its folder: UTF-8, lines ended by CR LF, one
// line per mobile number: the name without ";", ":", "," and line breaks, ",", the number
// with dashes (FormatTelNo).
// A phone cell may hold several numbers separated by ","; each gets its own line.

// Folder of the messaging program (kind 0 text messages, 1 fax/voice), or "" after a
// message saying why it cannot be used (missing, not executable).
QString FindSMSProgram(int kind);

// What writing the list file came to.
enum class ExternListResult { Written, Cancelled, Failed };

// Writes the list file from the rows of `grid` whose `selectColumn` is "1", in grid
// order. A number met twice (compared by its digits) asks once: Yes leaves out every
// repeat, No writes every line, Cancel stops with no file. A file that cannot be written
// is reported. The old file is always removed first.
ExternListResult WriteExternList(const Grid* grid, const QString& path, int selectColumn,
                                 int nameColumn, int phoneColumn);
// The same, true only when the file was written.
bool WriteExternTelNo(const Grid* grid, const QString& path, int selectColumn, int nameColumn,
                      int phoneColumn);

// Writes the marked rows to the list file and starts the program with its path (or with
// "0": no marked row and the user still wants the program, or the duplicate question
// cancelled). Only kind 0 is supported. True when the program was started.
bool SendToSMS(const Grid* grid, int selectColumn, int nameColumn, int phoneColumn, int kind);
