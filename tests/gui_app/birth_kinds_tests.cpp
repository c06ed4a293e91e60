// Every kind of birth through every output: a table row, a row with the box,
// an exact clock, an unknown time, a zone whose winter is a negative
// daylight time, a place without a state, each through the JSON, the text
// export, a reading saved and opened again, the batch's line, the chart
// window's personal data and birth-moment line, and the printed page.
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <fstream>
#include <nlohmann/json.hpp>
#include <variant>

#include "atlas/places.h"
#include "chart/birth_place.h"
#include "chart/chart_moment.h"
#include "chart/chart_run.h"
#include "chart/personal_data.h"
#include "formats/chart_json.h"
#include "formats/reading_file.h"
#include "formats/text_export.h"
#include "gui/chart/chart_outputs.h"
#include "gui/chart/frm_display.h"
#include "tests/gui_app/app_fixture.h"

namespace qv::test {
namespace {

using Json = nlohmann::json;

// A birth as the form holds it: typed, or a place chosen from the atlas.
struct Kind {
    const char* what;
    const char* place;  // an atlas place, or nullptr for a birth typed whole
    LocalDateTime local;
    bool timeKnown;
    int zone;  // typed births: the row, and the box
    bool dst;
    // What every output must say of it.
    const char* moment;      // the birth-moment line up to its coordinates
    const char* timeLine;    // the personal data's time line
    const char* utcOffset;   // JSON
    bool zoneIsRow;          // JSON zone: the row, or null for an exact clock
    const char* state;       // the State box, filled by the atlas when it had none
    const char* batchPlace;  // the batch row's place column, or empty
};

// clang-format off
const Kind kKinds[] = {
    {"a table row", nullptr, {1962, 6, 15, 14, 30}, true, 18, false,
     "14:30 CDT (UTC\u22125:00) = 19:30 UT", "Time of Birth: 14 Hour 30 Minute", "-05:00", true, "Illinois", ""},
    {"a row with the box", nullptr, {1962, 6, 15, 14, 30}, true, 21, true,
     "14:30 CST, DST (UTC\u22125:00) = 19:30 UT", "Time of Birth: 14 Hour 30 Minute", "-05:00", true, "Illinois", ""},
    {"an exact clock", "Moscow", {1906, 1, 15, 12, 0}, true, 0, false,
     "12:00 local mean time (UTC+2:30:17) = 09:29:43 UT", "Time of Birth: 12 Hour 0 Minute", "+02:30:17", false,
     "Moscow", "Moscow"},
    {"an unknown time", nullptr, {1975, 6, 15, 12, 0}, false, 34, false,
     "12:00 (birth time unknown) IST (UTC+5:30) = 06:30 UT", "Time of Birth: unknown (12:00)", "+05:30", true,
     "Illinois", ""},
    {"a negative-daylight zone", "Dublin, Ireland", {1990, 6, 15, 12, 0}, true, 0, false,
     "12:00 GMT, DST (UTC+1:00) = 11:00 UT", "Time of Birth: 12 Hour 0 Minute", "+01:00", true, "Leinster",
     "Dublin, Ireland"},
    {"a place without a state", "Singapore", {1990, 1, 15, 12, 0}, true, 0, false,
     "12:00 AWST (UTC+8:00) = 04:00 UT", "Time of Birth: 12 Hour 0 Minute", "+08:00", true, "Singapore",
     "Singapore"},
};
// clang-format on

// The form of a kind, as the user would fill it.
BirthFormData FormOfKind(const Kind& k) {
    BirthFormData form;
    form.txtName = "Ada Kind";
    form.cboYear = YearItem(k.local.year);
    form.cboMonth = k.local.month - 1;
    form.cboDate = k.local.day - 1;
    form.cboHour = k.local.hour;
    form.cboMinute = k.local.minute;
    form.chkTimeUnknown = !k.timeKnown;
    if (!k.place) {
        form.cboTimeZone = k.zone;
        form.chkDST = k.dst;
        form.txtLatD = "41", form.txtLatM = "51", form.optLatSouth = 0;
        form.txtLonD = "87", form.txtLonM = "39", form.optLongEast = 1;
        form.txtCity = "Chicago", form.txtState = "Illinois", form.txtCountry = "USA";
        return form;
    }
    const std::vector<Place> found = FindPlaces(k.place, 1);
    EXPECT_EQ(found.size(), 1u) << k.place;
    if (found.empty()) return form;
    SetPlace(form, found.front());
    EXPECT_TRUE(SetZoneOfClock(form, ClockOfPlace(found.front(), BirthMoment(form)))) << k.place;
    return form;
}

// The batch's row of a kind: its place column where the atlas gave it.
std::string BatchRow(const Kind& k, const BirthFormData& form) {
    std::string row = "Ada Kind," + std::to_string(k.local.year) + "," + std::to_string(k.local.month) + "," +
                      std::to_string(k.local.day) + ",";
    row += k.timeKnown ? std::to_string(k.local.hour) + "," + std::to_string(k.local.minute) + "," : ",,";
    if (*k.batchPlace) return row + ",,,,,,,,,,,\"" + k.batchPlace + "\"";
    return row + std::to_string(form.cboTimeZone) + "," + form.txtLatD + "," + form.txtLatM + ",N," + form.txtLonD +
           "," + form.txtLonM + ",W," + (form.chkDST ? "1" : "0") + "," + form.txtCity + "," + form.txtState + "," +
           form.txtCountry + ",";
}

// The batch's lines for the kinds, from the command.
std::vector<Json> BatchLines(const std::vector<std::string>& rows, const QString& folder) {
    const std::string file = (folder + "/kinds.csv").toStdString();
    {
        std::ofstream csv(file);
        csv << "name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,lon_dir,dst,city,state,"
               "country,place\n";
        for (const std::string& row : rows) csv << row << "\n";
    }
    QProcess run;
    run.start(QStringLiteral(QV_BINARY_DIR "/cli/quorvane-report"),
              {QStringLiteral("--batch"), QString::fromStdString(file)});
    EXPECT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    std::vector<Json> lines;
    for (const QByteArray& line : run.readAllStandardOutput().split('\n'))
        if (!line.isEmpty()) lines.push_back(Json::parse(line.toStdString()));
    return lines;
}

// The first page of the chart printed into a PDF file, as text.
QString PrintedFirstPage(FrmDisplay& display, HookedDialogs& dialogs, const QString& pdf) {
    dialogs.script.printerOutputFile = pdf;
    dialogs.script.printAnswers.push_back(true);
    PrintCommand(nullptr, display, dialogs);
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        ADD_FAILURE() << "pdftotext is missing (Debian package poppler-utils)";
        return {};
    }
    QProcess run;
    run.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(run.waitForFinished(60000));
    return QString::fromUtf8(run.readAllStandardOutput()).section(QChar('\f'), 0, 0).simplified();
}

TEST_F(AppTest, EveryKindOfBirthThroughEveryOutput) {
    QTemporaryDir folder;
    std::vector<std::string> rows;
    std::vector<Json> charts;
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.what);
        const BirthFormData typed = FormOfKind(k);
        BirthData birth;
        ASSERT_FALSE(CheckBirthForm(typed, birth).has_value());

        // The chart window, from the form.
        form->setFormData(typed);
        app->CalculateChart();
        ASSERT_TRUE(dialogs.messages().empty()) << dialogs.lastMessage().toStdString();
        ASSERT_NE(chart(), nullptr);
        const ChartState& state = app->state();
        const QString moment = chart()->birthMomentLine()->text();
        EXPECT_TRUE(moment.startsWith(QString::fromUtf8(k.moment) + QStringLiteral(" \u00b7 ")))
            << moment.toStdString();
        FrmDisplay& display = *chart()->display();
        const auto shown = PersonalDataLines(state, PersonalLinesFor::Display);
        EXPECT_EQ(display.personalLabel("lblTOB")->text().toStdString(), k.timeLine);
        EXPECT_EQ(display.personalLabel("lblTOB")->text().toStdString(), shown[2]);
        EXPECT_EQ(display.personalLabel("lblState")->text().toStdString(), std::string("State: ") + k.state);
        EXPECT_EQ(display.RTB()->toPlainText().contains(QStringLiteral("Birth time unknown")), !k.timeKnown);

        // The text export: the same personal lines, the known time's with its blank.
        const std::string text = MakeTextExport(state);
        const auto exported = PersonalDataLines(state, PersonalLinesFor::TextExport);
        std::string head;
        for (const std::string& line : exported) head += line + "\r\n";
        EXPECT_EQ(text.substr(0, head.size()), head);
        EXPECT_EQ(exported[2], std::string(k.timeLine) + (k.timeKnown ? " " : ""));

        // The JSON, from the command's calculation of the same form.
        ChartState again;
        LoadFixedLists(again);
        ChartWheel wheel;
        ASSERT_FALSE(CalculateChartOfForm(typed, again, wheel).has_value());
        const Json json = Json::parse(ChartJsonText(again, wheel));
        const Json& input = json.at("input");
        EXPECT_EQ(input.at("utc_offset"), k.utcOffset);
        EXPECT_EQ(input.at("zone").is_null(), !k.zoneIsRow);
        EXPECT_EQ(input.at("time_known"), k.timeKnown);
        EXPECT_EQ(input.at("state"), k.state);
        EXPECT_EQ(json.contains("rests_on_time"), !k.timeKnown);
        EXPECT_EQ(again.PlanetPosition, state.PlanetPosition) << "the window's chart is the command's";
        charts.push_back(json);

        // A reading saved and opened again is the same birth.
        std::string bytes;
        ASSERT_FALSE(ReadingFileBytes(state, bytes).has_value());
        const std::filesystem::path file = (folder.path() + QStringLiteral("/kind.qvn")).toStdString();
        std::ofstream(file, std::ios::binary) << bytes;
        const auto loaded = LoadReading(file);
        ASSERT_TRUE(std::holds_alternative<BirthFormData>(loaded));
        BirthData reopened;
        ASSERT_FALSE(CheckBirthForm(std::get<BirthFormData>(loaded), reopened).has_value());
        EXPECT_EQ(reopened, birth);

        // The printed page carries the same lines.
        const QString page = PrintedFirstPage(display, dialogs, folder.path() + QStringLiteral("/kind.pdf"));
        EXPECT_TRUE(page.contains(QString::fromStdString(shown[2]))) << page.toStdString();
        EXPECT_TRUE(page.contains(QString::fromStdString(shown[6]))) << page.toStdString();
        const QString universal = QString::fromUtf8(k.moment).section(QStringLiteral(" = "), 1);
        EXPECT_TRUE(page.contains(universal)) << page.toStdString();

        rows.push_back(BatchRow(k, typed));
        chart()->findChild<QAction*>(QStringLiteral("mnuBack"))->trigger();
        settle();
    }

    // The batch's line of each kind says what the command's chart says.
    const std::vector<Json> lines = BatchLines(rows, folder.path());
    ASSERT_EQ(lines.size(), std::size(kKinds));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(kKinds[i].what);
        ASSERT_TRUE(lines[i].contains("input")) << lines[i].dump();
        for (const char* key : {"utc_offset", "zone", "dst", "time_known", "date", "time", "state"})
            EXPECT_EQ(lines[i].at("input").at(key), charts[i].at("input").at(key)) << key;
        EXPECT_EQ(lines[i].at("positions"), charts[i].at("positions"));
        EXPECT_EQ(lines[i].contains("rests_on_time"), !kKinds[i].timeKnown);
    }
}

}  // namespace
}  // namespace qv::test
