// Timings of the program's user actions on a large database. Each case runs a few times for
// warm-up and then --runs times; the medians are printed. Run it in a prepared working folder
// (see bench/README.md), never as a test.

#include "app/dialogs.h"
#include "benchcases.h"
#include "shell/startup.h"
#include "shell/velarix.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <QTranslator>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Sample
{
    double ms = 0;
    double shownMs = -1; // start-up only: main() to the exposed window, inside the process
    double rssMb = -1; // peak resident memory of a whole process, where measured
    // Actions inside the program: until nothing is left to do, including work that Qt
    // spreads over later event loop passes (a long list is laid out in batches).
    double idleMs = -1;
    // CPU time the process spent on it (user and system): on a busy machine the wall-clock
    // figures grow, this one much less.
    double cpuMs = -1;
    // Cases in a process of their own: how far the peak rose above the memory held before.
    double growthMb = -1;
};

double processCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The program's debug lines (one per cash purchase in stock on the statistics page) are
// made as in the shop and then dropped: on a terminal they would time the terminal.
void dropDebugLines(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// A message box during a timing would block the run; the seam records it instead, and a
// recorded box makes the case fail, since the figure would not be the action's.
bool reportDialogs(const char *caseName)
{
    const QList<Dialogs::Record> records = Dialogs::takeRecords();
    for (const Dialogs::Record &r : records)
        std::fprintf(stderr, "%s: unexpected box \"%s\": %s\n", caseName, qPrintable(r.title),
            qPrintable(r.text));
    return records.isEmpty();
}

// ---- start-up as a whole process ----

// The steps of the program's main(): German locale, Qt's translation, the main window shown
// and closed again. Keep in step with shell/main.cpp (both share shell/startup.h).
int startupChild(int argc, char *argv[])
{
    QElapsedTimer timer;
    timer.start();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory));
    QTranslator translator;
    QApplication app(argc, argv);
    installQtTranslation(app, translator);
    Dialogs::setTestMode(true);
    fixRunSettings();
    if (!openDatabaseAtStart())
        return 5;
    qint64 shown;
    {
        Velarix window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 3;
        QCoreApplication::processEvents();
        shown = timer.elapsed();
        if (!reportDialogs("startup"))
            return 4;
        // Without today's backup closing asks first; quitting answers No, as staff would
        // at the end of a benchmark. Any other box is a fault.
        Dialogs::setNextAnswer(int(QMessageBox::No));
        window.close();
        Dialogs::clearAnswers();
        for (const Dialogs::Record &r : Dialogs::takeRecords())
            if (r.kind != Dialogs::Kind::Question) {
                std::fprintf(stderr, "startup: unexpected box \"%s\": %s\n", qPrintable(r.title),
                    qPrintable(r.text));
                return 4;
            }
    }
    std::printf("shown_ms %lld\n", static_cast<long long>(shown));
    return 0;
}

std::string g_self;

// Runs velarix_bench again with the given arguments as a child process and collects its
// standard output, its wall-clock time, CPU time and peak memory (wait4).
bool runChildProcess(const char *caseName, const std::vector<const char *> &args,
    int timeoutSeconds, Sample *sample, std::string *text)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char *> argv { const_cast<char *>(g_self.c_str()) };
        for (const char *arg : args)
            argv.push_back(const_cast<char *>(arg));
        argv.push_back(nullptr);
        execv(g_self.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    // A child that hangs (a box outside the dialog seam, say) must not hang the run.
    const auto deadline = start + std::chrono::seconds(timeoutSeconds);
    char buffer[256];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now())
                              .count();
        struct pollfd fd = { out[0], POLLIN, 0 };
        if (left <= 0 || poll(&fd, 1, int(left)) == 0) {
            std::fprintf(stderr, "%s: no end after %d s, stopped\n", caseName, timeoutSeconds);
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        text->append(buffer, size_t(n));
    }
    close(out[0]);
    int status = 0;
    struct rusage usage;
    std::memset(&usage, 0, sizeof usage);
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: child ended with status %d\n", caseName, status);
        return false;
    }
    sample->ms = std::chrono::duration<double, std::milli>(end - start).count();
    sample->rssMb = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    sample->cpuMs = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return true;
}

// The number after "key " in a child's output, or -1.
double childValue(const std::string &text, const std::string &key)
{
    const size_t at = text.find(key + ' ');
    return at == std::string::npos ? -1 : std::atof(text.c_str() + at + key.size() + 1);
}

bool runStartupProcess(Sample *sample)
{
    std::string text;
    if (!runChildProcess("startup", { "--startup-child" }, 60, sample, &text))
        return false;
    sample->shownMs = childValue(text, "shown_ms");
    return true;
}

// ---- cases in a process of their own ----

// The program as the timed cases run it: German locale before the application object, as in
// main(), Qt's translation, the dialog seam, print jobs as PDF files in print/, the run's
// settings fixed.
int &germanFirst(int &argc)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory));
    return argc;
}

struct BenchProgram
{
    BenchProgram(int &argc, char *argv[])
        : app(germanFirst(argc), argv)
    {
        installQtTranslation(app, translator);
        Dialogs::setTestMode(true);
        qInstallMessageHandler(dropDebugLines);
        qputenv("VELARIX_PRINT_DIR", QDir::current().absoluteFilePath("print").toLocal8Bit());
        fixRunSettings();
    }
    QTranslator translator;
    QApplication app;
};

// Resident memory of this process in kB: "VmRSS" now, "VmHWM" the peak.
long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The peak so far is start-up's; from here on it counts what the action adds.
bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// Runs the event loop until it has nothing left to do.
void processUntilIdle()
{
    while (QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents))
        ;
}

// One timing of a case with ownProcess set, inside "velarix_bench --case-child <name>": the
// program started as for the other cases, then prepare, then the timed run, whose time, CPU
// time and added memory go to standard output.
int caseChild(int &argc, char *argv[], const std::string &name)
{
    const std::vector<BenchCase> all = BenchArea::all();
    const auto c = std::find_if(
        all.begin(), all.end(), [&name](const BenchCase &b) { return name == b.name; });
    if (c == all.end())
        return 2;
    BenchProgram program(argc, argv);
    WindowDriver session;
    if (!session.start())
        return 3;
    if (!reportDialogs("start-up") || !c->prepare(session) || !reportDialogs(c->name))
        return 4;
    processUntilIdle();
    if (!resetPeakMemory())
        return 5;
    const long before = statusKb("VmRSS");
    QElapsedTimer timer;
    const double cpuStart = processCpuMs();
    timer.start();
    bool ok = c->run(session);
    QCoreApplication::processEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const double cpuMs = processCpuMs() - cpuStart;
    const long peak = statusKb("VmHWM");
    processUntilIdle();
    ok = reportDialogs(c->name) && ok;
    std::printf("action_ms %.3f\ncpu_ms %.3f\ngrowth_kb %ld\n", ms, cpuMs, peak - before);
    session.window.reset();
    return ok ? 0 : 4;
}

bool runCaseProcess(const BenchCase &c, Sample *sample)
{
    std::string text;
    if (!runChildProcess(c.name, { "--case-child", c.name }, c.timeoutSeconds, sample, &text))
        return false;
    sample->ms = childValue(text, "action_ms");
    sample->cpuMs = childValue(text, "cpu_ms");
    sample->growthMb = childValue(text, "growth_kb") / 1024.0;
    return sample->ms >= 0;
}

// ---- timing and report ----

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Result
{
    std::string name;
    std::string what;
    double targetMs;
    std::vector<Sample> samples;
    bool ok = true;
    double growthTargetMb = 50;
    double peakTargetMb = 150;
};

void printResults(const std::vector<Result> &results, int runs, int warmup)
{
    std::printf("\n%d runs after %d warm-up runs; wall-clock median, min and max, median CPU "
                "time of the process, in ms\n\n",
        runs, warmup);
    std::printf("%-14s %10s %10s %10s %10s %10s  %s\n", "case", "median", "min", "max", "cpu",
        "target", "what");
    for (const Result &r : results) {
        if (!r.ok) {
            std::printf("%-14s %10s %10s %10s %10s %10.0f  %s\n", r.name.c_str(), "FAILED", "-",
                "-", "-", r.targetMs, r.what.c_str());
            continue;
        }
        std::vector<double> ms, shown, rss, idle, cpu;
        for (const Sample &s : r.samples) {
            ms.push_back(s.ms);
            if (s.cpuMs >= 0)
                cpu.push_back(s.cpuMs);
            if (s.idleMs >= 0)
                idle.push_back(s.idleMs);
            if (s.shownMs >= 0)
                shown.push_back(s.shownMs);
            if (s.rssMb >= 0)
                rss.push_back(s.rssMb);
        }
        const std::string target = r.targetMs > 0 ? std::to_string(int(r.targetMs)) : "-";
        std::printf("%-14s %10.1f %10.1f %10.1f %10.1f %10s  %s\n", r.name.c_str(), median(ms),
            *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
            median(cpu), target.c_str(), r.what.c_str());
        if (!shown.empty())
            std::printf("%-14s %10.1f %10.1f %10.1f %10s %10s  %s\n", "", median(shown),
                *std::min_element(shown.begin(), shown.end()),
                *std::max_element(shown.begin(), shown.end()), "", "",
                "davon main() bis zum gezeigten Fenster");
        // Only where later passes add something worth naming.
        if (!idle.empty() && median(idle) > median(ms) + 1.0)
            std::printf("%-14s %10.1f %10.1f %10.1f %10s %10s  %s\n", "", median(idle),
                *std::min_element(idle.begin(), idle.end()),
                *std::max_element(idle.begin(), idle.end()), "", "",
                "bis nichts mehr zu tun ist (spätere Durchläufe der Ereignisschleife)");
        std::vector<double> growth;
        for (const Sample &s : r.samples)
            if (s.growthMb >= 0)
                growth.push_back(s.growthMb);
        // A case whose target is the process's peak has none for the growth.
        const std::string growthTarget
            = r.growthTargetMb > 0 ? std::to_string(int(r.growthTargetMb)) + "M" : "-";
        if (!growth.empty())
            std::printf("%-14s %9.1fM %9.1fM %9.1fM %10s %10s  %s\n", "", median(growth),
                *std::min_element(growth.begin(), growth.end()),
                *std::max_element(growth.begin(), growth.end()), "", growthTarget.c_str(),
                "Speicherzuwachs (RSS) während der Aktion");
        if (!rss.empty())
            std::printf("%-14s %9.1fM %9.1fM %9.1fM %10s %9.0fM  %s\n", "", median(rss),
                *std::min_element(rss.begin(), rss.end()),
                *std::max_element(rss.begin(), rss.end()), "", r.peakTargetMb,
                "Spitzenspeicher (RSS) des Prozesses");
    }
}

void usage()
{
    std::printf("usage: velarix_bench [--runs N] [--warmup N] [case ...]\n"
                "Runs in the current folder, which holds db.sqlite, Templates/ and "
                "kategorien.txt.\ncases: startup");
    for (const BenchCase &c : BenchArea::all())
        std::printf(" %s", c.name);
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--case-child") == 0)
        return caseChild(argc, argv, argv[2]);

    g_self = QFile::decodeName(argv[0]).toStdString();
    {
        char path[4096];
        const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
        if (n > 0)
            g_self.assign(path, size_t(n));
    }
    int runs = 10, warmup = 2;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--runs" || arg == "--warmup") && i + 1 < argc) {
            (arg == "--runs" ? runs : warmup)
                = std::max(arg == "--runs" ? 1 : 0, std::atoi(argv[++i]));
        } else if (arg == "-h" || arg == "--help") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            usage();
            return 2;
        } else {
            wanted.push_back(arg);
        }
    }
    if (!QFile::exists(QStringLiteral("db.sqlite"))) {
        std::fprintf(stderr, "velarix_bench: no db.sqlite in the current folder\n");
        return 2;
    }
    for (const std::string &name : wanted) {
        bool known = name == "startup";
        for (const BenchCase &c : BenchArea::all())
            known = known || name == c.name;
        if (!known) {
            std::fprintf(stderr, "velarix_bench: no case \"%s\"\n", name.c_str());
            usage();
            return 2;
        }
    }
    auto selected = [&wanted](const std::string &name) {
        return wanted.empty() || std::find(wanted.begin(), wanted.end(), name) != wanted.end();
    };

    std::vector<Result> results;
    if (selected("startup")) {
        Result r { "startup", "Start bis zum gezeigten Fenster und Beenden, ganzer Prozess", 100,
            {} };
        for (int i = 0; i < warmup + runs && r.ok; ++i) {
            Sample s;
            r.ok = runStartupProcess(&s);
            if (i >= warmup)
                r.samples.push_back(s);
        }
        results.push_back(r);
    }

    for (const BenchCase &c : BenchArea::all()) {
        if (!c.ownProcess || !selected(c.name))
            continue;
        Result r { c.name, c.what, c.targetMs, {}, true, c.growthTargetMb, c.peakTargetMb };
        const int first = c.once ? 0 : warmup;
        const int total = c.once ? 1 : warmup + runs;
        for (int i = 0; i < total && r.ok; ++i) {
            Sample s;
            r.ok = runCaseProcess(c, &s);
            if (i >= first)
                r.samples.push_back(s);
        }
        results.push_back(r);
    }

    std::vector<BenchCase> cases;
    for (const BenchCase &c : BenchArea::all())
        if (!c.ownProcess && selected(c.name))
            cases.push_back(c);
    if (!cases.empty()) {
        BenchProgram program(argc, argv);
        WindowDriver session;
        // The menu keys are window shortcuts: they need the active window.
        if (!session.start()) {
            std::fprintf(stderr, "velarix_bench: the window was not shown\n");
            return 1;
        }
        reportDialogs("start-up");
        for (const BenchCase &c : cases) {
            Result r { c.name, c.what, c.targetMs, {} };
            for (int i = 0; i < warmup + runs && r.ok; ++i) {
                r.ok = c.prepare(session) && reportDialogs(c.name);
                processUntilIdle();
                QElapsedTimer timer;
                const double cpuStart = processCpuMs();
                timer.start();
                r.ok = r.ok && c.run(session);
                QCoreApplication::processEvents();
                const double ms = double(timer.nsecsElapsed()) / 1e6;
                processUntilIdle();
                const double idleMs = double(timer.nsecsElapsed()) / 1e6;
                r.ok = reportDialogs(c.name) && r.ok;
                if (i >= warmup)
                    r.samples.push_back({ ms, -1, -1, idleMs, processCpuMs() - cpuStart });
            }
            results.push_back(r);
        }
        session.window.reset();
    }
    if (results.empty()) {
        usage();
        return 2;
    }
    printResults(results, runs, warmup);
    for (const Result &r : results)
        if (!r.ok)
            return 1;
    return 0;
}
