#pragma once

// The user actions the benchmark times inside one running program. Each area of the program
// keeps its cases in bench/<area>cases.cpp and registers them there with one BenchArea; the
// build picks up every such file, and the driver runs the areas in name order.

#include "support/windowdriver.h"

#include <QString>

class QListWidget;

#include <functional>
#include <string>
#include <vector>

struct BenchCase
{
    const char *name;
    const char *what;
    double targetMs; // 0: no target, shown for information
    // Brings the program into the state the action starts from; runs before every timing.
    std::function<bool(WindowDriver &)> prepare;
    // The timed action; false when it did not do its work.
    std::function<bool(WindowDriver &)> run;
    // Timed in a process of its own, one per run, which also reports how much memory the
    // action added (for work on whole files, such as the backup).
    bool ownProcess = false;
    // For a process of its own: what its memory may reach (the action's growth, the whole
    // process's peak), when it is stopped, and whether it is too long to repeat (then it runs
    // once, without warm-up, whatever --runs says).
    double growthTargetMb = 50;
    double peakTargetMb = 150;
    int timeoutSeconds = 60;
    bool once = false;
};

// One area's cases, registered while the program starts:
//     const BenchArea intakeCases("intake", { { "intake-enter", ... }, ... });
class BenchArea
{
public:
    BenchArea(const char *area, std::vector<BenchCase> cases);
    // Every registered case: the areas in name order, each area's cases as it lists them.
    static std::vector<BenchCase> all();
};

// Helpers for the cases.

// The print folder holds the jobs of one timing only: a full folder would make every job
// slower to number than in the shop.
void clearPrintFolder();
int printedJobs();
// The first column of the first row, or -1.
qint64 scalar(const char *sql);
// Waits until the list has laid out its last item; false for no list or after 10 s. Qt lays
// a list out after the handler that filled it has returned; for the clerk a keystroke is
// done when the list is.
bool listLaidOut(QListWidget *list);
// Replaces a field's content by typing, as the staff do; false when there is no field.
bool typeInto(QWidget *field, const QString &text);
