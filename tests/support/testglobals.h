#pragma once

#include "util/lirvel_host.h"

#include <string>
#include <vector>

// A windowless host that records what the load asked of the windows.
class TRecordingHost : public TAppHost
{
public:
    void ProcessMessages() override { ++Messages; }
    void SetMax(int max) override
    {
        Max = max;
        Position = 0;
        ++SetMaxCalls;
    }
    void Step() override { ++Position; }
    void ShowBookCount(int count) override { BookCount = count; }
    void ExecuteConfig() override { ++ConfigDialogs; }
    TTreeList* TreeList() override { return Tree; }
    QDate Today() const override { return TodayDate.isValid() ? TodayDate : QDate::currentDate(); }

    int Messages = 0;
    int Max = -1;
    int Position = 0;
    int SetMaxCalls = 0;
    int BookCount = -1;
    int ConfigDialogs = 0;
    TTreeList* Tree = nullptr;
    QDate TodayDate;
};

// Creates the data modules' globals (dm_files, dmBooks, dmParams) and installs a recording host;
// releases them again at the end of the scope.
class TGlobals
{
public:
    TGlobals();
    ~TGlobals();
    TGlobals(const TGlobals&) = delete;
    TGlobals& operator=(const TGlobals&) = delete;

    TRecordingHost Host;
};
