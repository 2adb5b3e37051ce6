#pragma once

#include <QString>

// The values edited in the options window: four options of the table `options`, shared by
// every computer on the database, three settings of this computer (section "Config") and
// the zip-code server's address (section "환경설정").
struct OptionValues {
    bool friendCode = false;  // `friendcode` "1": member management numbers are used
    int start = 0;            // `start`: 0..4, -1 when the stored value is none of them
    int pointIndex = 0;       // `pointindex`: 0 percentage of the amount collected, 1 per item
    double point = 10;        // `point`: the percentage, 0 to 100
    int friendClick = 0;      // FRIEND_CLICK: 0 member editor, 1 the member's trades
    int clientSort = 0;       // CLIENT_SORT: 0 default, 1 centred
    bool repetition = true;   // MEMBER_REPETITION: duplicate check of name and phone
    QString zipServer;        // 환경설정/우편번호서버: address of the zip-code update server

    // Reads every value with its default. Stored values that cannot be used read as the
    // default (a `point` that is not a number reads as 0, one outside 0..100 is clamped).
    static OptionValues load();
    // Writes every value; `point` is written as a number, "0" when points are set per item.
    // `start` -1 leaves the stored value as it is. False when the database refused a value.
    bool save() const;

    // The leading numeric value of a typed percentage, clamped to 0..100 ("" and "abc" → 0).
    static double percentFromText(const QString& text);
    static QString percentText(double value); // "10", "12.5"
};
