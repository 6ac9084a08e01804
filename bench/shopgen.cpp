#include "bench/shopgen.h"

#include "app/database.h"
#include "app/numbers.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// splitmix64: tiny, fast and the same everywhere, unlike the standard distributions.
class Rng
{
public:
    explicit Rng(quint64 seed, quint64 stream)
        : m_state(seed * 0x9E3779B97F4A7C15ull + stream * 0xD1B54A32D192ED03ull)
    {
        next();
    }
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double real() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    qint64 below(qint64 n) { return n <= 1 ? 0 : qint64(next() % quint64(n)); }
    qint64 between(qint64 lo, qint64 hi) { return hi <= lo ? lo : lo + below(hi - lo); }
    bool chance(double p) { return real() < p; }
    template <typename T, size_t N> const T &pick(const T (&items)[N])
    {
        return items[below(qint64(N))];
    }

private:
    quint64 m_state;
};

constexpr qint64 kDayMs = 86400000;
constexpr qint64 kHourMs = 3600000;

qint64 daysFromCivil(int y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return qint64(era) * 146097 + qint64(doe) - 719468;
}

void civilFromDays(qint64 z, int &y, unsigned &m, unsigned &d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = int(qint64(yoe) + era * 400 + (m <= 2));
}

// Milliseconds since 1970 on the shop's wall clock (no time zone: the program stores local
// time stamps as text).
QString stamp(qint64 ms)
{
    int y;
    unsigned m, d;
    const qint64 day = ms / kDayMs;
    qint64 rest = ms % kDayMs;
    civilFromDays(day, y, m, d);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02d:%02d:%02d.%03d", y, m, d,
        int(rest / kHourMs), int(rest / 60000 % 60), int(rest / 1000 % 60), int(rest % 1000));
    return QString::fromLatin1(buffer);
}

bool parseNow(const QString &text, qint64 *ms)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    const QByteArray latin = text.trimmed().toLatin1();
    const int n
        = std::sscanf(latin.constData(), "%d-%d-%d%*[ T]%d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    if (n != 3 && n < 5)
        return false;
    if (y < 1990 || y > 9000 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59)
        return false;
    *ms = daysFromCivil(y, unsigned(mo), unsigned(d)) * kDayMs + h * kHourMs + mi * 60000
        + s * 1000;
    return true;
}

// The shop's opening hours laid end to end: a position on this clock is a moment when the
// shop is open, so every generated event falls into opening hours and keeps its order.
class OpenClock
{
public:
    OpenClock(qint64 firstDay, qint64 nowMs)
    {
        const qint64 lastDay = nowMs / kDayMs;
        for (qint64 day = firstDay; day <= lastDay; ++day) {
            int y;
            unsigned m, d;
            civilFromDays(day, y, m, d);
            if ((m == 1 && d == 1) || (m == 12 && (d == 25 || d == 26)))
                continue;
            const int weekday = int((day + 4) % 7); // 0 = Sunday
            const qint64 base = day * kDayMs;
            switch (weekday) {
            case 0:
                break;
            case 3: // Wednesday afternoon closed
                add(base + 9 * kHourMs, 4 * kHourMs, nowMs);
                break;
            case 6:
                add(base + 10 * kHourMs, 2 * kHourMs, nowMs);
                break;
            default:
                add(base + 9 * kHourMs, 4 * kHourMs, nowMs);
                add(base + 14 * kHourMs, 3 * kHourMs, nowMs);
                break;
            }
        }
    }

    qint64 total() const { return m_total; }

    qint64 toTime(qint64 pos) const
    {
        if (m_segments.empty())
            return 0;
        if (pos >= m_total)
            return m_segments.back().start + m_segments.back().length - 1;
        auto it = std::upper_bound(m_segments.begin(), m_segments.end(), pos,
            [](qint64 p, const Segment &s) { return p < s.cum; });
        --it;
        return it->start + (pos - it->cum);
    }

    // The first open position at or after a wall-clock time.
    qint64 toPos(qint64 time) const
    {
        auto it = std::lower_bound(m_segments.begin(), m_segments.end(), time,
            [](const Segment &s, qint64 t) { return s.start + s.length <= t; });
        if (it == m_segments.end())
            return m_total;
        return time <= it->start ? it->cum : it->cum + (time - it->start);
    }

private:
    struct Segment
    {
        qint64 start;
        qint64 length;
        qint64 cum;
    };

    void add(qint64 start, qint64 length, qint64 nowMs)
    {
        if (start >= nowMs)
            return;
        length = std::min(length, nowMs - start);
        m_segments.push_back({ start, length, m_total });
        m_total += length;
    }

    std::vector<Segment> m_segments;
    qint64 m_total = 0;
};

// ---- names and goods ----

const char *const kSurnames[] = {
    "Müller",
    "Schmidt",
    "Schneider",
    "Fischer",
    "Weber",
    "Meyer",
    "Wagner",
    "Becker",
    "Schulz",
    "Hoffmann",
    "Schäfer",
    "Koch",
    "Bauer",
    "Richter",
    "Klein",
    "Wolf",
    "Schröder",
    "Neumann",
    "Schwarz",
    "Zimmermann",
    "Braun",
    "Krüger",
    "Hofmann",
    "Hartmann",
    "Lange",
    "Schmitt",
    "Werner",
    "Schmitz",
    "Krause",
    "Meier",
    "Lehmann",
    "Schmid",
    "Schulze",
    "Maier",
    "Köhler",
    "Herrmann",
    "König",
    "Walter",
    "Mayer",
    "Huber",
    "Kaiser",
    "Fuchs",
    "Peters",
    "Lang",
    "Scholz",
    "Möller",
    "Weiß",
    "Jung",
    "Hahn",
    "Schubert",
    "Vogel",
    "Friedrich",
    "Keller",
    "Günther",
    "Frank",
    "Berger",
    "Winkler",
    "Roth",
    "Beck",
    "Lorenz",
    "Baumann",
    "Franke",
    "Albrecht",
    "Schuster",
    "Simon",
    "Ludwig",
    "Böhm",
    "Winter",
    "Kraus",
    "Martin",
    "Schumacher",
    "Krämer",
    "Vogt",
    "Stein",
    "Jäger",
    "Otto",
    "Sommer",
    "Groß",
    "Seidel",
    "Heinrich",
    "Brandt",
    "Haas",
    "Schreiber",
    "Graf",
    "Schulte",
    "Dietrich",
    "Ziegler",
    "Kuhn",
    "Kühn",
    "Pohl",
    "Engel",
    "Horn",
    "Busch",
    "Bergmann",
    "Thomas",
    "Voigt",
    "Sauer",
    "Arnold",
    "Wolff",
    "Pfeiffer",
    "Yılmaz",
    "Kowalski",
    "Nowak",
    "Meyer-Lüdenscheid",
    "von Bergen",
    "Özdemir",
    "Petrović",
    "Hübner",
    "Öztürk",
    "Jankowski",
    "Lindner",
};

const char *const kFirstNames[] = {
    "Anna",
    "Maria",
    "Ursula",
    "Monika",
    "Petra",
    "Elisabeth",
    "Sabine",
    "Renate",
    "Helga",
    "Karin",
    "Brigitte",
    "Ingrid",
    "Erika",
    "Andrea",
    "Gisela",
    "Claudia",
    "Susanne",
    "Gabriele",
    "Christa",
    "Christine",
    "Hildegard",
    "Uta",
    "Jutta",
    "Julia",
    "Lena",
    "Sophie",
    "Laura",
    "Lea",
    "Jürgen",
    "Hans",
    "Peter",
    "Klaus",
    "Wolfgang",
    "Michael",
    "Thomas",
    "Andreas",
    "Werner",
    "Manfred",
    "Günter",
    "Stefan",
    "Frank",
    "Uwe",
    "Dieter",
    "Horst",
    "Bernd",
    "Helmut",
    "Gerhard",
    "Rainer",
    "Jörg",
    "Karl-Heinz",
    "Hans-Peter",
    "Lukas",
    "Leon",
    "Finn",
    "Jonas",
    "Paul",
    "Mehmet",
    "Ayşe",
    "Zoë",
    "Björn",
    "Søren",
    "René",
    "Chantal",
};

const char *const kStreets[] = {
    "Hauptstraße",
    "Bahnhofstraße",
    "Gartenstraße",
    "Schulstraße",
    "Dorfstraße",
    "Bergstraße",
    "Birkenweg",
    "Lindenstraße",
    "Kirchstraße",
    "Waldstraße",
    "Ringstraße",
    "Am Markt",
    "Mühlenweg",
    "Goethestraße",
    "Schillerstraße",
    "Friedhofstraße",
    "Rosenweg",
    "Amselweg",
    "Feldstraße",
    "Wiesenweg",
    "Am Sportplatz",
    "Talstraße",
    "Im Winkel",
    "Brunnengasse",
    "Uhlandstraße",
    "Kastanienallee",
    "Zur Linde",
    "Mozartstraße",
    "Eichendorffweg",
    "An der Weide",
};

struct Town
{
    const char *plz;
    const char *name;
    int weight;
};

const Town kTowns[] = {
    { "12345", "Musterhausen", 40 },
    { "12346", "Musterhausen", 12 },
    { "12350", "Kleindorf", 6 },
    { "12351", "Oberstetten", 5 },
    { "12355", "Niederau", 5 },
    { "12360", "Bad Lindenberg", 5 },
    { "12362", "Altmühlen", 4 },
    { "12370", "Sankt Georgen", 3 },
    { "12371", "Hohenfels", 3 },
    { "12380", "Neustadt am Bach", 3 },
    { "12382", "Waldhausen", 3 },
    { "12390", "Großenwiese", 2 },
    { "12399", "Eichenau", 2 },
    { "34117", "Kassel", 2 },
    { "36037", "Fulda", 2 },
    { "60311", "Frankfurt am Main", 1 },
    { "99084", "Erfurt", 1 },
    { "37073", "Göttingen", 1 },
};

const char *const kAreaCodes[] = { "01234", "01235", "01236", "01237", "0561", "0661", "069" };
const char *const kMobile[] = { "0151", "0160", "0170", "0171", "0176", "0152", "0157" };

const char *const kSizesAdult[] = { "36", "38", "40", "42", "44", "46", "S", "M", "L", "XL" };
const char *const kSizesKids[] = { "86", "92", "98", "104", "110", "116", "128", "140" };
const char *const kColours[]
    = { "schwarz", "weiß", "blau", "rot", "grün", "beige", "grau", "braun", "rosa", "dunkelblau" };
const char *const kGrades[] = { "gut erhalten", "neuwertig", "mit Gebrauchsspuren", "OVP",
    "leichter Kratzer", "vollständig", "ungetragen" };

struct Category
{
    int number; // as in kategorien.txt
    int weight;
    bool manyPieces; // goods that come in stacks (books, clothes, crockery)
    int cheapest, dearest; // index range into kPrices
    std::vector<const char *> nouns;
    std::vector<const char *> attributes;
};

const double kPrices[] = { 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 5, 6, 7, 8, 9, 10, 12, 14, 15, 18, 20,
    25, 30, 35, 40, 45, 50, 60, 70, 80, 90, 100, 120, 150, 180, 200, 250, 300, 400 };
constexpr int kPriceCount = int(sizeof kPrices / sizeof kPrices[0]);

const std::vector<Category> &categories()
{
    static const std::vector<Category> list = {
        { 1, 6, false, 13, 34,
            { "Kommode", "Esstisch", "Stuhl", "Sessel", "Bücherregal", "Nachttisch",
                "Kleiderschrank", "Sofa", "Couchtisch", "Schreibtisch", "Vitrine", "Hocker",
                "Schaukelstuhl", "Sekretär", "Garderobe" },
            { "Eiche", "Kiefer", "Buche", "weiß lackiert", "Teak", "Nussbaum", "Vollholz",
                "Gründerzeit", "60er Jahre", "Rattan" } },
        { 2, 16, true, 0, 10,
            { "Roman", "Kochbuch", "Kinderbuch", "Sachbuch", "Krimi", "Reiseführer", "Bildband",
                "Lexikon", "Taschenbuch", "Hörbuch-CD", "Atlas", "Comic" },
            { "gebunden", "Taschenbuch", "Erstausgabe", "Sammlung", "Band 1-3",
                "mit Schutzumschlag", "Fraktur", "großformatig" } },
        { 3, 11, true, 0, 20,
            { "Kaffeeservice", "Sektgläser", "Weingläser", "Speiseteller", "Suppenterrine",
                "Kuchenplatte", "Milchkännchen", "Sammeltasse", "Bierkrug", "Kristallschale",
                "Dessertschalen", "Teekanne" },
            { "Villeroy & Boch", "Rosenthal", "Hutschenreuther", "WMF", "Leonardo", "Zwiesel",
                "Goldrand", "Zwiebelmuster", "Bleikristall", "12-teilig" } },
        { 4, 5, false, 6, 28,
            { "Stehlampe", "Tischlampe", "Deckenleuchte", "Wandlampe", "Nachttischlampe",
                "Kronleuchter", "Leselampe" },
            { "Messing", "Chrom", "Tiffany-Stil", "Milchglas", "Retro", "Bauhaus", "Holz" } },
        { 5, 5, false, 3, 30,
            { "Ölgemälde", "Kunstdruck", "Bilderrahmen", "Aquarell", "Spiegel", "Radierung",
                "Poster", "Stickbild" },
            { "Landschaft", "Stillleben", "gerahmt", "Goldrahmen", "signiert", "40x60 cm",
                "Alpenmotiv", "Blumen" } },
        { 6, 12, true, 1, 24,
            { "Puppe", "Holzeisenbahn", "Lego-Set", "Playmobil-Set", "Brettspiel", "Puzzle",
                "Kuscheltier", "Bobbycar", "Puppenwagen", "Modellauto", "Kaufladen", "Baukasten" },
            { "1000 Teile", "vollständig", "mit OVP", "Holz", "ab 3 Jahren", "Sammlerstück",
                "Steiff", "Märklin", "Ravensburger", "Haba" } },
        { 7, 22, true, 1, 22,
            { "Damenjacke", "Herrenhemd", "Kinderhose", "Winterjacke", "Strickpullover", "Jeans",
                "Sommerkleid", "Lederjacke", "Wanderschuhe", "Stiefel", "Bluse", "Anzug",
                "Schlafanzug", "Regenjacke", "Handtasche" },
            {} },
        { 8, 6, false, 4, 30,
            { "Kaffeemaschine", "Toaster", "Wasserkocher", "Stabmixer", "Radio", "Plattenspieler",
                "Staubsauger", "Bügeleisen", "Küchenmaschine", "Fernseher", "Nähmaschine", "Föhn" },
            { "Bosch", "Siemens", "Philips", "Braun", "AEG", "Krups", "Grundig", "Telefunken",
                "Severin", "Pfaff" } },
        { 9, 4, false, 4, 30,
            { "Bohrmaschine", "Akkuschrauber", "Werkzeugkoffer", "Stichsäge", "Schraubzwingen",
                "Hammer", "Wasserwaage", "Kreissäge", "Schleifmaschine", "Steckschlüsselsatz" },
            { "Bosch", "Makita", "Metabo", "Black & Decker", "Einhell", "Gedore", "Kärcher" } },
        { 10, 4, true, 2, 30,
            { "Halskette", "Armband", "Ohrringe", "Brosche", "Ring", "Armbanduhr",
                "Manschettenknöpfe", "Anhänger" },
            { "Silber 925", "Modeschmuck", "vergoldet", "Bernstein", "Perlen", "333 Gold",
                "Strass" } },
        { 11, 5, false, 5, 33,
            { "Fahrrad", "Inliner", "Tennisschläger", "Skischuhe", "Schlafsack", "Zelt", "Rucksack",
                "Kinderfahrrad", "Hanteln", "Angelrute", "Snowboard" },
            { "28 Zoll", "26 Zoll", "Gr. 42", "2 Personen", "Alu", "Kettler", "Deuter",
                "Jack Wolfskin", "Puky" } },
        { 12, 12, true, 0, 20,
            { "Vase", "Kerzenständer", "Figur", "Wanduhr", "Blumentopf", "Weihnachtsdeko",
                "Osterdeko", "Windlicht", "Tischdecke", "Kissenbezug", "Bilderrahmen", "Spieluhr" },
            { "Keramik", "Glas", "Messing", "Porzellan", "Holz", "handbemalt", "Hummel", "Leinen",
                "Zinn" } },
    };
    return list;
}

int pickCategory(Rng &rng)
{
    const auto &list = categories();
    int total = 0;
    for (const auto &c : list)
        total += c.weight;
    qint64 r = rng.below(total);
    for (int i = 0; i < int(list.size()); ++i) {
        r -= list[i].weight;
        if (r < 0)
            return i;
    }
    return 0;
}

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

// EAN-13 with its check digit, from a 12-digit prefix.
QString ean13(Rng &rng, const char *prefix)
{
    QString digits = QString::fromLatin1(prefix);
    while (digits.size() < 12)
        digits += QChar(char('0' + rng.below(10)));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (digits.at(i).unicode() - '0') * (i % 2 ? 3 : 1);
    digits += QChar(char('0' + (10 - sum % 10) % 10));
    return digits;
}

QString articleName(Rng &rng, const Category &c)
{
    QString name = utf8(c.nouns[size_t(rng.below(qint64(c.nouns.size())))]);
    if (c.number == 7) {
        const bool kids = name.startsWith(QLatin1String("Kinder")) || rng.chance(0.25);
        name += QStringLiteral(" Gr. ") + utf8(kids ? rng.pick(kSizesKids) : rng.pick(kSizesAdult));
        if (rng.chance(0.7))
            name += QLatin1Char(' ') + utf8(rng.pick(kColours));
    } else if (!c.attributes.empty() && rng.chance(0.75)) {
        name += QLatin1Char(' ')
            + utf8(c.attributes[size_t(rng.below(qint64(c.attributes.size())))]);
    }
    if (rng.chance(0.06))
        name += QStringLiteral(", ") + utf8(rng.pick(kGrades));
    return name;
}

int pieces(Rng &rng, bool many)
{
    const qint64 r = rng.below(100);
    if (!many)
        return r < 75 ? 1 : r < 90 ? 2 : 3 + int(rng.below(2));
    if (r < 35)
        return 1;
    if (r < 50)
        return 2;
    if (r < 60)
        return 3;
    if (r < 80)
        return 4 + int(rng.below(3));
    if (r < 95)
        return 7 + int(rng.below(6));
    return 13 + int(rng.below(18));
}

// Articles per contract, 1 to 20, most contracts small (mean about five).
int articleCount(Rng &rng)
{
    static const int weights[20]
        = { 16, 14, 12, 10, 9, 8, 6, 5, 4, 3, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1 };
    qint64 r = rng.below(101);
    for (int i = 0; i < 20; ++i) {
        r -= weights[i];
        if (r < 0)
            return i + 1;
    }
    return 20;
}

struct PriceRule
{
    double threshold;
    QString op;
    double value;
};

double proposedPrice(const std::vector<PriceRule> &rules, double ek)
{
    const PriceRule *best = nullptr;
    for (const PriceRule &rule : rules)
        if (rule.threshold < ek && (!best || rule.threshold > best->threshold))
            best = &rule;
    if (!best)
        return ek;
    double x = ek;
    if (best->op == QLatin1String("*"))
        x = ek * best->value;
    else if (best->op == QLatin1String("+"))
        x = ek + best->value;
    return roundTenth(x);
}

enum class EndState : quint8 { Running, RunningEmpty, Prepared, Ended };

struct Contract
{
    qint64 pos; // open-clock position of the conclusion
    qint64 windowEnd; // sales of its pieces happen before this position
    qint64 expiryPos;
    qint64 endPos;
    int customer;
    int laufzeit;
    int firstArticle;
    int articles;
    double fee;
    EndState state;
    bool cash;
    qint64 payouts[3]; // positions, ascending; unused slots -1
};

struct Article
{
    int contract;
    int menge;
    int sold = 0;
    int rows = 0;
    double ek;
    double vk;
    quint8 category;
};

struct Sale
{
    qint64 pos;
    qint64 payoutPos; // -1: not paid out
    qint64 time = 0;
    int article; // index, -1 unknown
    int menge;
    double ek;
    double vk;
};

struct Return
{
    qint64 pos;
    qint64 time = 0;
    int article;
    int anzahl;
};

class Writer
{
public:
    explicit Writer(QString *error)
        : m_error(error)
    { }
    bool exec(const QString &statement)
    {
        QSqlQuery query;
        if (query.exec(statement))
            return true;
        *m_error = statement + QLatin1String(": ") + query.lastError().text();
        return false;
    }
    bool exec(QSqlQuery &query)
    {
        if (query.exec())
            return true;
        *m_error = query.lastQuery() + QLatin1String(": ") + query.lastError().text();
        return false;
    }

private:
    QString *m_error;
};

// Positions with clock times: strictly increasing milliseconds, since the time stamp is the
// key of both tables.
template <typename Row> void assignUniqueTimes(std::vector<Row> &rows, const OpenClock &clock)
{
    qint64 last = -1;
    for (Row &row : rows) {
        row.time = std::max(clock.toTime(row.pos), last + 1);
        last = row.time;
    }
}

} // namespace

ShopGenCounts plannedCounts(double scale)
{
    auto scaled = [scale](double n) { return std::max<qint64>(1, qint64(n * scale + 0.5)); };
    ShopGenCounts counts;
    counts.customers = scaled(20000);
    counts.contracts = scaled(100000);
    counts.articles = std::max(scaled(500000), counts.contracts);
    counts.sales = scaled(1000000);
    counts.returns = scaled(50000);
    return counts;
}

static bool generate(const ShopGenOptions &options, ShopGenCounts *written, QString *error)
{
    qint64 nowMs = 0;
    if (!parseNow(options.now, &nowMs)) {
        *error = QStringLiteral("invalid date for now: %1").arg(options.now);
        return false;
    }
    if (!(options.scale > 0) || options.scale > 100) {
        *error = QStringLiteral("scale must be above 0 and at most 100");
        return false;
    }
    const ShopGenCounts plan = plannedCounts(options.scale);
    if (plan.articles > plan.contracts * 20) {
        *error = QStringLiteral("too many articles for the contracts");
        return false;
    }

    int nowY;
    unsigned nowM, nowD;
    civilFromDays(nowMs / kDayMs, nowY, nowM, nowD);
    const qint64 firstDay = daysFromCivil(nowY - 10, nowM, std::min(nowD, 28u));
    const OpenClock clock(firstDay, nowMs);
    const qint64 total = clock.total();
    const qint64 openDayMs = 6 * kHourMs; // roughly one opening day on the open clock
    const qint64 firstYearsEnd = daysFromCivil(nowY - 7, nowM, std::min(nowD, 28u)) * kDayMs;

    Writer w(error);
    if (!w.exec(QStringLiteral("PRAGMA journal_mode = OFF"))
        || !w.exec(QStringLiteral("PRAGMA synchronous = OFF"))
        || !w.exec(QStringLiteral("PRAGMA cache_size = -262144")))
        return false;
    if (!ensureSchema()) {
        *error = QStringLiteral("could not create the schema");
        return false;
    }

    // The settings and price rules as a fresh database has them drive the figures.
    std::vector<PriceRule> rules;
    double feePercent = 5, feeCap = 10;
    int laufzeit = 90;
    {
        QSqlQuery query;
        if (!query.exec(QStringLiteral("SELECT Einkaufspreis, Operator, Wert FROM Verkaufspreis "
                                       "ORDER BY ID"))) {
            *error = query.lastError().text();
            return false;
        }
        while (query.next())
            rules.push_back({ query.value(0).toDouble(), query.value(1).toString(),
                query.value(2).toDouble() });
        query.exec(QStringLiteral("SELECT Name, Wert FROM Systemdaten"));
        while (query.next()) {
            const QString name = query.value(0).toString();
            if (name == QLatin1String("Standgebuehr"))
                feePercent = query.value(1).toDouble();
            else if (name == QLatin1String("MaxStandgebuehr"))
                feeCap = query.value(1).toDouble();
            else if (name == QLatin1String("Laufzeit"))
                laufzeit = query.value(1).toInt();
        }
    }
    // A shop that has worked for years has the settings page's rows too, printers chosen, and
    // backs up daily; with today's backup, closing the program asks nothing.
    {
        int y;
        unsigned m, d;
        civilFromDays(nowMs / kDayMs, y, m, d);
        char today[16];
        std::snprintf(today, sizeof today, "%02u.%02u.%04d", d, m, y);
        QSqlQuery query;
        query.prepare(QStringLiteral("UPDATE Systemdaten SET Wert = ? WHERE Name = 'BackupDate'"));
        query.addBindValue(QString::fromLatin1(today));
        if (!w.exec(query))
            return false;
        const char *const extra[][2] = {
            { "Vertragsdrucker", "Vertragsdrucker" },
            { "Etikettendrucker", "Etikettendrucker" },
            { "UploadPath", "" },
            { "PrintFormat", "true" },
            { "LabelSize", "0" },
            { "AutoExportPath", "" },
        };
        query.prepare(QStringLiteral("INSERT INTO Systemdaten (Name, Wert) VALUES (?, ?)"));
        for (const auto &row : extra) {
            query.bindValue(0, QString::fromLatin1(row[0]));
            query.bindValue(1, QString::fromLatin1(row[1])); // "" stays an empty text, not NULL
            if (!w.exec(query))
                return false;
        }
    }
    // Bulk rows go in faster without the secondary indexes; the upgrade makes them again.
    for (const QString &index : indexNames())
        if (!w.exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(index)))
            return false;

    // ---- contracts: when, for whom, what kind ----
    Rng crng(options.seed, 1);
    std::vector<Contract> contracts(size_t(plan.contracts));
    {
        std::vector<qint64> positions(contracts.size());
        for (qint64 &p : positions) {
            // The shop grows a little: some contracts lean to the later years.
            double u = crng.real();
            if (crng.chance(0.15))
                u = std::max(u, crng.real());
            p = std::min(total - 1, qint64(u * double(total)));
        }
        std::sort(positions.begin(), positions.end());
        for (size_t i = 0; i < contracts.size(); ++i)
            contracts[i].pos = positions[i];
    }
    {
        qint64 nextNew = 1;
        for (size_t i = 0; i < contracts.size(); ++i) {
            Contract &c = contracts[i];
            const qint64 contractsLeft = qint64(contracts.size() - i);
            const qint64 customersLeft = plan.customers - nextNew + 1;
            if (nextNew == 1 || (customersLeft > 0 && crng.below(contractsLeft) < customersLeft)) {
                c.customer = int(nextNew++);
            } else {
                // Regulars: earlier customers bring more often.
                const qint64 known = nextNew - 1;
                const qint64 a = crng.below(known), b = crng.below(known);
                c.customer = int((crng.chance(0.5) ? std::min(a, b) : a) + 1);
            }
            c.cash = crng.chance(0.1);
            const qint64 time = clock.toTime(c.pos);
            c.laufzeit = c.cash ? -1 : time < firstYearsEnd ? 60 : laufzeit;
            c.articles = articleCount(crng);
            c.payouts[0] = c.payouts[1] = c.payouts[2] = -1;
        }
        // Exactly the planned number of articles.
        qint64 sum = 0;
        for (const Contract &c : contracts)
            sum += c.articles;
        while (sum != plan.articles) {
            Contract &c = contracts[size_t(crng.below(qint64(contracts.size())))];
            if (sum < plan.articles && c.articles < 20) {
                ++c.articles;
                ++sum;
            } else if (sum > plan.articles && c.articles > 1) {
                --c.articles;
                --sum;
            }
        }
    }

    // ---- articles ----
    Rng arng(options.seed, 2);
    std::vector<Article> articles;
    articles.reserve(size_t(plan.articles));
    for (size_t ci = 0; ci < contracts.size(); ++ci) {
        Contract &c = contracts[ci];
        c.firstArticle = int(articles.size());
        double value = 0;
        for (int k = 0; k < c.articles; ++k) {
            Article a;
            a.contract = int(ci);
            const int cat = pickCategory(arng);
            const Category &category = categories()[size_t(cat)];
            a.category = quint8(cat);
            const qint64 span = category.dearest - category.cheapest + 1;
            const int index = int(category.cheapest + std::min(arng.below(span), arng.below(span)));
            a.ek = kPrices[std::min(index, kPriceCount - 1)];
            a.vk = proposedPrice(rules, a.ek);
            if (arng.chance(0.1)) // priced by hand
                a.vk = std::max(a.ek, double(qint64(a.vk + 0.5)));
            a.menge = pieces(arng, category.manyPieces);
            value += a.ek * a.menge;
            articles.push_back(a);
        }
        if (c.cash) {
            c.fee = -value;
        } else if (arng.chance(0.04)) {
            static const double manual[] = { 0, 1, 2, 5 };
            c.fee = arng.pick(manual);
        } else {
            c.fee = std::min(feeCap, roundTenth(value / 100 * feePercent));
        }
    }

    // ---- contract ends and payouts ----
    Rng erng(options.seed, 3);
    for (Contract &c : contracts) {
        c.state = EndState::Running;
        c.endPos = -1;
        c.windowEnd = total;
        if (c.cash) {
            // The shop's own goods mostly sell within half a year.
            c.expiryPos = total;
            c.windowEnd = std::min(total, c.pos + 150 * openDayMs);
            continue;
        }
        const qint64 expiry = clock.toTime(c.pos) + qint64(c.laufzeit) * kDayMs;
        c.expiryPos = clock.toPos(expiry);
        if (erng.chance(0.04) && c.expiryPos < total) {
            // Taken back early.
            c.state = EndState::Ended;
            c.endPos = erng.between(c.pos + 1, c.expiryPos);
        } else if (expiry <= nowMs) {
            const double r = erng.real();
            const qint64 endPos = clock.toPos(expiry + qint64(erng.real() * 60 * kDayMs));
            if (r < 0.95 && endPos < total) {
                c.state = EndState::Ended;
                c.endPos = endPos;
            } else if (r >= 0.95 && r < 0.97) {
                c.state = EndState::Prepared;
            } else {
                c.state = erng.chance(0.1) ? EndState::RunningEmpty : EndState::Running;
            }
        } else if (erng.chance(0.01)) {
            c.state = EndState::RunningEmpty;
        }
        if (c.state == EndState::Ended)
            c.windowEnd = std::max(c.endPos, c.pos + 1);
        // Payouts while the contract runs, and the final one at its end.
        const int intermediate = int(erng.below(3));
        qint64 found[3];
        int n = 0;
        for (int k = 0; k < intermediate; ++k)
            found[n++] = erng.between(c.pos + 1, c.windowEnd);
        if (c.state == EndState::Ended && n < 3)
            found[n++] = c.endPos;
        std::sort(found, found + n);
        for (int k = 0; k < n; ++k)
            c.payouts[k] = found[k];
    }

    // ---- how many sale rows each article gets ----
    Rng srng(options.seed, 4);
    const qint64 unknownRows = plan.sales / 50; // till entries without a known article
    const qint64 articleRows = plan.sales - unknownRows;
    {
        std::vector<double> weight(articles.size());
        double weightSum = 0;
        for (size_t i = 0; i < articles.size(); ++i) {
            const Article &a = articles[i];
            const Contract &c = contracts[size_t(a.contract)];
            // A young contract has had little time to sell.
            const qint64 term = c.cash ? 90 * openDayMs : std::max<qint64>(1, c.expiryPos - c.pos);
            const double elapsed = double(std::min(c.windowEnd, total) - c.pos);
            const double share = std::min(1.0, elapsed / double(term));
            weight[i] = (0.25 + 1.5 * srng.real()) * share * a.menge;
            weightSum += weight[i];
        }
        const double factor = weightSum > 0 ? double(articleRows) / weightSum : 0;
        qint64 rows = 0;
        for (size_t i = 0; i < articles.size(); ++i) {
            Article &a = articles[i];
            a.rows = int(std::min<double>(a.menge, weight[i] * factor + srng.real()));
            rows += a.rows;
        }
        qint64 attempts = 0;
        const qint64 maxAttempts = 200 * plan.articles + 1000000;
        while (rows != articleRows && attempts++ < maxAttempts) {
            Article &a = articles[size_t(srng.below(qint64(articles.size())))];
            if (rows < articleRows && a.rows < a.menge) {
                ++a.rows;
                ++rows;
            } else if (rows > articleRows && a.rows > 0) {
                --a.rows;
                --rows;
            }
        }
        if (rows != articleRows) {
            *error = QStringLiteral("not enough pieces for the sales");
            return false;
        }
    }

    std::vector<Sale> sales;
    sales.reserve(size_t(plan.sales));
    for (size_t i = 0; i < articles.size(); ++i) {
        Article &a = articles[i];
        const Contract &c = contracts[size_t(a.contract)];
        for (int k = 0; k < a.rows; ++k) {
            Sale s;
            s.article = int(i);
            s.menge = 1;
            s.ek = c.cash ? 0 : a.ek;
            s.vk = srng.chance(0.08) ? roundTenth(a.vk * 0.9) : a.vk;
            s.payoutPos = -1;
            const qint64 afterEnd
                = c.state == EndState::Ended ? std::min(total, c.endPos + 60 * openDayMs) : 0;
            if (c.state == EndState::Ended && afterEnd > c.endPos + 1 && srng.chance(0.08)) {
                // Left over after the end: sold for the shop, or written off.
                s.pos = srng.between(c.endPos + 1, afterEnd);
                s.ek = 0;
                if (srng.chance(0.5))
                    s.vk = 0;
            } else {
                s.pos = srng.between(c.pos + 1, c.windowEnd);
                if (!c.cash)
                    for (qint64 p : c.payouts)
                        if (p > s.pos) {
                            s.payoutPos = p;
                            break;
                        }
            }
            a.sold += 1;
            sales.push_back(s);
        }
    }
    // Some rows take two or three pieces where the stock allows.
    for (Sale &s : sales) {
        Article &a = articles[size_t(s.article)];
        if (a.sold < a.menge && srng.chance(0.08)) {
            const int extra = int(std::min<qint64>(a.menge - a.sold, 1 + srng.below(2)));
            s.menge += extra;
            a.sold += extra;
        }
    }
    for (qint64 k = 0; k < unknownRows; ++k) {
        Sale s;
        s.pos = srng.below(total);
        s.payoutPos = -1;
        s.article = -1;
        s.menge = 1;
        s.ek = 0;
        s.vk = kPrices[srng.below(20)];
        sales.push_back(s);
    }

    // ---- returns to the consignor, mostly when a contract ends ----
    Rng rrng(options.seed, 5);
    std::vector<Return> returns;
    returns.reserve(size_t(plan.returns));
    {
        std::vector<int> ended, running;
        for (size_t i = 0; i < articles.size(); ++i) {
            const Article &a = articles[i];
            const Contract &c = contracts[size_t(a.contract)];
            if (c.cash || a.sold >= a.menge)
                continue;
            (c.state == EndState::Ended ? ended : running).push_back(int(i));
        }
        auto shuffle = [&rrng](std::vector<int> &v) {
            for (size_t i = v.size(); i > 1; --i)
                std::swap(v[i - 1], v[size_t(rrng.below(qint64(i)))]);
        };
        shuffle(ended);
        shuffle(running);
        size_t ei = 0, ri = 0;
        while (qint64(returns.size()) < plan.returns) {
            const bool fromEnded = rrng.chance(0.85) ? ei < ended.size() : ri >= running.size();
            std::vector<int> &list = fromEnded ? ended : running;
            size_t &at = fromEnded ? ei : ri;
            if (at >= list.size()) {
                *error = QStringLiteral("not enough pieces left for the returns");
                return false;
            }
            const int index = list[at++];
            Article &a = articles[size_t(index)];
            const Contract &c = contracts[size_t(a.contract)];
            const int left = a.menge - a.sold;
            Return r;
            r.article = index;
            r.anzahl = rrng.chance(0.7) ? left : int(1 + rrng.below(left));
            if (c.state == EndState::Ended)
                r.pos = rrng.between(std::max(c.pos + 1, c.endPos - 2 * openDayMs), c.endPos);
            else
                r.pos = rrng.between(c.pos + 1, total);
            a.sold += r.anzahl;
            returns.push_back(r);
        }
    }

    auto byPos = [](const auto &a, const auto &b) {
        return a.pos != b.pos ? a.pos < b.pos : a.article < b.article;
    };
    // Equal positions of one article differ in nothing that is stored, so any order of them
    // gives the same rows; stable_sort keeps it independent of the library all the same.
    std::stable_sort(sales.begin(), sales.end(), byPos);
    std::stable_sort(returns.begin(), returns.end(), byPos);
    assignUniqueTimes(sales, clock);
    assignUniqueTimes(returns, clock);

    // ---- write ----
    auto articleId = [](int index) { return index + 1; };
    if (!w.exec(QStringLiteral("BEGIN TRANSACTION")))
        return false;
    {
        Rng krng(options.seed, 6);
        int townWeights = 0;
        for (const Town &t : kTowns)
            townWeights += t.weight;
        QSqlQuery q;
        q.prepare(QStringLiteral("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, "
                                 "Strasse) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (qint64 id = 1; id <= plan.customers; ++id) {
            qint64 r = krng.below(townWeights);
            const Town *town = kTowns;
            for (const Town &t : kTowns) {
                town = &t;
                r -= t.weight;
                if (r < 0)
                    break;
            }
            QString phone = QStringLiteral(""); // no telephone: empty, as the page stores it
            const qint64 kind = krng.below(100);
            if (kind < 55)
                phone = utf8(krng.pick(kAreaCodes)) + QLatin1Char('/')
                    + QString::number(10000 + krng.below(990000));
            else if (kind < 92)
                phone = utf8(krng.pick(kMobile)) + QLatin1Char(' ')
                    + QString::number(1000000 + krng.below(9000000));
            QString street = utf8(krng.pick(kStreets)) + QLatin1Char(' ')
                + QString::number(1 + krng.below(120));
            if (krng.chance(0.08))
                street += QChar(QLatin1Char("abc"[krng.below(3)]));
            q.bindValue(0, id);
            q.bindValue(1, utf8(krng.pick(kSurnames)));
            q.bindValue(2, krng.chance(0.01) ? QStringLiteral("") : utf8(krng.pick(kFirstNames)));
            q.bindValue(3, phone);
            q.bindValue(4, utf8(town->plz));
            q.bindValue(5, utf8(town->name));
            q.bindValue(6, street);
            if (!w.exec(q))
                return false;
        }
    }
    {
        QSqlQuery q;
        q.prepare(QStringLiteral("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, "
                                 "Laufzeit, Vertragsende) VALUES (?, ?, ?, ?, ?, ?)"));
        for (size_t i = 0; i < contracts.size(); ++i) {
            const Contract &c = contracts[i];
            QVariant end = QVariant(QMetaType::fromType<QString>());
            if (c.state == EndState::Ended)
                end = stamp(clock.toTime(c.endPos));
            else if (c.state == EndState::Prepared)
                end = QStringLiteral("-1");
            else if (c.state == EndState::RunningEmpty)
                end = QStringLiteral("");
            q.bindValue(0, qint64(i + 1));
            q.bindValue(1, c.customer);
            q.bindValue(2, stamp(clock.toTime(c.pos)));
            q.bindValue(3, c.fee);
            q.bindValue(4, c.laufzeit);
            q.bindValue(5, end);
            if (!w.exec(q))
                return false;
        }
    }
    {
        Rng nrng(options.seed, 7);
        QSqlQuery q;
        q.prepare(QStringLiteral(
            "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
            "EinkaufsMenge, EAN, ISBN, Images, Kategorie, Beschreibung) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QString empty = QStringLiteral("");
        for (size_t i = 0; i < articles.size(); ++i) {
            const Article &a = articles[i];
            const Category &category = categories()[a.category];
            QString ean = empty, isbn = empty, images = empty, description = empty;
            if (category.number == 2 && nrng.chance(0.5))
                isbn = ean13(nrng, "9783");
            else if ((category.number == 8 || category.number == 6) && nrng.chance(0.3))
                ean = ean13(nrng, "40");
            if (nrng.chance(0.02)) {
                images = QStringLiteral("/home/laden/Bilder/IMG_%1.jpg").arg(100000 + i);
                if (nrng.chance(0.3))
                    images += QStringLiteral(",/home/laden/Bilder/IMG_%1b.jpg").arg(100000 + i);
            }
            if (nrng.chance(0.05))
                description = utf8(nrng.pick(kGrades));
            q.bindValue(0, articleId(int(i)));
            q.bindValue(1, a.contract + 1);
            q.bindValue(2, articleName(nrng, category));
            q.bindValue(3, a.ek);
            q.bindValue(4, a.vk);
            q.bindValue(5, a.menge);
            q.bindValue(6, ean);
            q.bindValue(7, isbn);
            q.bindValue(8, images);
            q.bindValue(9, nrng.chance(0.08) ? 0 : category.number);
            q.bindValue(10, description);
            if (!w.exec(q))
                return false;
        }
    }
    {
        QSqlQuery q;
        q.prepare(
            QStringLiteral("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                           "VerkaufsMenge, Artikel, Auszahldatum) VALUES (?, ?, ?, ?, ?, ?)"));
        const QVariant null = QVariant(QMetaType::fromType<QString>());
        for (const Sale &s : sales) {
            q.bindValue(0, stamp(s.time));
            q.bindValue(1, s.ek);
            q.bindValue(2, s.vk);
            q.bindValue(3, s.menge);
            q.bindValue(4, s.article < 0 ? -1 : articleId(s.article));
            // A payout follows its sale even where equal sale times were moved apart.
            q.bindValue(5,
                s.payoutPos < 0 ? null
                                : QVariant(stamp(std::max(clock.toTime(s.payoutPos), s.time + 1))));
            if (!w.exec(q))
                return false;
        }
    }
    {
        QSqlQuery q;
        q.prepare(QStringLiteral(
            "INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES (?, ?, ?)"));
        for (const Return &r : returns) {
            q.bindValue(0, stamp(r.time));
            q.bindValue(1, r.anzahl);
            q.bindValue(2, articleId(r.article));
            if (!w.exec(q))
                return false;
        }
    }
    upgradeSchema();
    if (!w.exec(QStringLiteral("COMMIT TRANSACTION")))
        return false;

    if (written) {
        written->customers = plan.customers;
        written->contracts = qint64(contracts.size());
        written->articles = qint64(articles.size());
        written->sales = qint64(sales.size());
        written->returns = qint64(returns.size());
    }
    return true;
}

bool generateShopDatabase(const ShopGenOptions &options, ShopGenCounts *written, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    QFile::remove(options.path);
    QFile::remove(options.path + QLatin1String("-journal"));
    bool ok;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(options.path);
        if (!db.open()) {
            *error = db.lastError().text();
            ok = false;
        } else {
            ok = generate(options, written, error);
            if (!ok)
                QSqlQuery().exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    if (!ok)
        QFile::remove(options.path);
    return ok;
}
