// The child of the kill test: works on a data folder the way a planner does, as fast as it
// can, until it is killed. It enters meter increments through the entry rules, saves new
// aircraft and components, and applies a template (with the backup made before it). Before
// each change it writes "PENDING KEY VALUE" to standard output, and once the change is
// committed "DONE KEY VALUE", so that the test knows what must be in the files.
//
//   velmora_kill_worker FOLDER SEED
#include "aircraft/TemplateLibrary.h"
#include "backup/Backups.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "entry/EntryRules.h"

#include <QCoreApplication>
#include <QDir>

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <random>
#include <vector>

using namespace velmora;

namespace {

void say(const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + written,
                                  static_cast<size_t>(bytes.size() - written));
        if (n <= 0)
            std::_Exit(3);
        written += n;
    }
}

QString number(double v) {
    return QString::number(v, 'g', 17);
}

// The entry rules' view of one aircraft row: the screens' save step writes the staged
// values into the row and updates it.
class RowHost : public entry::EntryHost {
  public:
    RowHost(data::Recordset& rs, QString typed, std::function<void()> beforeSave)
        : rs_(rs), field_(std::move(typed)), beforeSave_(std::move(beforeSave)) {}
    data::Value stored(const QString& column) const override { return rs_.value(column); }
    void stage(const QString& column, const data::Value& v) override {
        stage(column, entry::ColumnChange([v](const entry::StoredColumns&) { return v; }));
    }
    void stage(const QString& column, entry::ColumnChange change) override {
        staged_[column] = change([this](const QString& c) { return stored(c); });
        changes_[column] = std::move(change);
    }
    QString fieldText() const override { return field_; }
    bool fieldChanged() const override { return true; }
    void setFieldText(const QString& text) override { field_ = text; }
    bool askYesNo(const QString&, const QString&) override { return true; }
    void saveStep() override {
        beforeSave_();
        rs_.edit();
        for (auto it = changes_.begin(); it != changes_.end(); ++it)
            rs_.applyChange(it.key(), it.value());
        rs_.update();
    }
    data::Value staged(const QString& column) const { return staged_.value(column); }

  private:
    data::Recordset& rs_;
    QString field_;
    std::function<void()> beforeSave_;
    QHash<QString, data::Value> staged_;
    QHash<QString, entry::ColumnChange> changes_;
};

class Worker {
  public:
    Worker(const QString& folder, unsigned seed)
        : main_(QDir(folder).filePath(data::files::kMain)),
          templates_(QDir(folder).filePath(data::files::kTemplates)),
          seed_(seed),
          random_(seed) {}

    [[noreturn]] void run() {
        db_ = data::Database::open(main_);
        say(QStringLiteral("READY"));
        for (int step = 0;; ++step) {
            const int what = pick(0, 9);
            if (what < 5 && !aircraft_.empty())
                meterIncrement();
            else if (what < 7 || aircraft_.empty())
                newAircraft(step);
            else if (what < 9)
                newComponent();
            else
                templateApplied(step);
        }
    }

  private:
    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random_); }

    QString reg(int step) const { return QStringLiteral("K%1-%2").arg(seed_).arg(step); }

    std::unique_ptr<data::Recordset> aircraftRow(const QString& reg) {
        return db_->openRecordset(QStringLiteral("select * from [Aircraft] where [RegNum] = ") +
                                  data::quoteJetLiteral(reg));
    }

    void meterIncrement() {
        const QString reg =
            aircraft_[static_cast<size_t>(pick(0, static_cast<int>(aircraft_.size()) - 1))];
        const int meter = pick(1, 2);
        auto rs = aircraftRow(reg);
        const QString total =
            meter == 1 ? QStringLiteral("TotalTime") : QStringLiteral("TotalTime2");
        const QString key = QStringLiteral("meter:%1:%2").arg(reg).arg(meter);
        RowHost* self = nullptr;
        RowHost host(*rs, QStringLiteral("+%1").arg(pick(1, 60) / 10.0), [&] {
            say(QStringLiteral("PENDING %1 %2").arg(key, number(self->staged(total).toDouble())));
        });
        self = &host;
        entry::applyMeterRule(host, meter, entry::EntryScreen::TimeRemaining);
        say(QStringLiteral("DONE %1 %2").arg(key, number(rs->value(total).toDouble())));
    }

    void newAircraft(int step) {
        const QString r = reg(step);
        const QString key = QStringLiteral("aircraft:") + r;
        auto rs =
            db_->openRecordset(QStringLiteral("select * from [Aircraft] where [RegNum] = ''"));
        rs->addNew();
        rs->setValue(QStringLiteral("RegNum"), data::Value(r));
        rs->setValue(QStringLiteral("Make"), data::Value("Bell"));
        rs->setValue(QStringLiteral("Model"), data::Value("206B"));
        rs->setValue(QStringLiteral("TotalTime"), data::Value(pick(0, 90000) / 10.0));
        rs->setValue(QStringLiteral("TotalTime2"), data::Value(0.0));
        const QString hours = number(rs->value(QStringLiteral("TotalTime")).toDouble());
        say(QStringLiteral("PENDING %1 %2").arg(key, hours));
        rs->update();
        say(QStringLiteral("DONE %1 %2").arg(key, hours));
        aircraft_.push_back(r);
    }

    void newComponent() {
        const QString r =
            aircraft_[static_cast<size_t>(pick(0, static_cast<int>(aircraft_.size()) - 1))];
        const int item = ++items_;
        const QString key = QStringLiteral("component:%1:%2").arg(r).arg(item);
        auto rs = db_->openRecordset(QStringLiteral("select * from [Parts] where [RegNum] = ''"));
        rs->addNew();
        rs->setValue(QStringLiteral("RegNum"), data::Value(r));
        rs->setValue(QStringLiteral("ItemNumber"), data::Value(item));
        rs->setValue(QStringLiteral("Description"),
                     data::Value(QStringLiteral("Part %1").arg(item)));
        rs->setValue(QStringLiteral("LifeBasis"), data::Value("RT"));
        rs->setValue(QStringLiteral("LifeNumber"), data::Value(pick(100, 5000)));
        rs->setValue(QStringLiteral("Active"), data::Value(true));
        say(QStringLiteral("PENDING %1 1").arg(key));
        rs->update();
        say(QStringLiteral("DONE %1 1").arg(key));
    }

    // A new aircraft receives the template's components, after the backup the screen makes
    // before it.
    void templateApplied(int step) {
        const QString r = reg(step) + QStringLiteral("T");
        const auto rows =
            aircraft::readTemplate(templates_, QStringLiteral("Bell"), QStringLiteral("206B"));
        backup::makeBackup({main_}, backup::Reason::BeforeTemplate);
        const QString key = QStringLiteral("template:") + r;
        say(QStringLiteral("PENDING %1 %2").arg(key).arg(rows.size()));
        aircraft::applyTemplate(main_, r, QStringLiteral("Bell"), rows);
        say(QStringLiteral("DONE %1 %2").arg(key).arg(rows.size()));
    }

    QString main_, templates_;
    unsigned seed_;
    std::mt19937 random_;
    std::shared_ptr<data::Database> db_;
    std::vector<QString> aircraft_;
    int items_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: velmora_kill_worker FOLDER SEED\n", stderr);
        return 2;
    }
    try {
        Worker(QString::fromLocal8Bit(argv[1]), static_cast<unsigned>(std::atoi(argv[2]))).run();
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "velmora_kill_worker: error %d: %s\n", e.code(),
                     e.text().toUtf8().constData());
        return 1;
    }
}
