#include "accessibility_check.h"
#include "event_log_dock.h"
#include "history_model.h"
#include "history_store.h"
#include "history_writer.h"
#include "ui.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

HistoryEntry Entry(HistoryKind kind, const QString& serial, const QString& text) {
    return {
        0,   1'700'000'000'000, kind, QStringLiteral("operator"), QStringLiteral("bench"), serial,
        text};
}

QStringList ShownTexts(const CEventLogDock& dock) {
    QStringList texts;
    const QAbstractItemModel* model = dock.List()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->index(row, CHistoryModel::TextColumn).data().toString();
    }
    return texts;
}

class HistoryDock : public ::testing::Test {
protected:
    void SetUp() override {
        // An earlier session, on another instrument.
        CHistoryStore earlier;
        ASSERT_TRUE(earlier.Open(path, CHistoryStore::Mode::Write));
        for (HistoryEntry entry :
             {Entry(HistoryKind::Action, QStringLiteral("SN-1"), QStringLiteral("Reset Silk")),
              Entry(HistoryKind::Error, QStringLiteral("SN-1"), QStringLiteral("Error: leak"))}) {
            ASSERT_TRUE(earlier.Append(entry));
        }
        m_previousSave = SetSaveFileHandler([this](const SaveFileRequest&) { return savePath; });
    }
    void TearDown() override { SetSaveFileHandler(m_previousSave); }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("history.sqlite"));
    QString savePath;

private:
    SaveFileHandler m_previousSave;
};

TEST_F(HistoryDock, ShowsEverySessionNewestFirstFiltersAndExportsWhatItShows) {
    CHistoryWriter writer(path, {});
    CEventLogDock dock;
    QSignalSpy opened(&writer, &CHistoryWriter::opened);
    dock.AttachHistory(&writer);
    ASSERT_TRUE(QTest::qWaitFor([&dock] { return dock.List()->model() == dock.History(); }));
    writer.Append(Entry(HistoryKind::Action, QStringLiteral("SN-2"),
                        QStringLiteral("Change Flow to 20 \u00B5L/min, A 50 %, B 50 %, C 0 %")));
    writer.Flush();
    ASSERT_TRUE(QTest::qWaitFor([&dock] { return dock.History()->rowCount() == 3; }));
    EXPECT_EQ(ShownTexts(dock), QStringList({"Change Flow to 20 \u00B5L/min, A 50 %, B 50 %, C 0 %",
                                             "Error: leak", "Reset Silk"}));
    EXPECT_EQ(dock.InstrumentCombo()->count(), 3) << "all, SN-1 and SN-2";

    dock.show();
    EXPECT_EQ(AccessibilityProblems(&dock), QStringList());

    dock.InstrumentCombo()->setCurrentIndex(
        dock.InstrumentCombo()->findData(QStringLiteral("SN-1")));
    dock.ApplyFilter();
    EXPECT_EQ(ShownTexts(dock), QStringList({"Error: leak", "Reset Silk"}));
    dock.KindCombo()->setCurrentIndex(1 + static_cast<int>(HistoryKind::Action));
    dock.ApplyFilter();
    EXPECT_EQ(ShownTexts(dock), QStringList({"Reset Silk"}));
    dock.KindCombo()->setCurrentIndex(0);
    dock.InstrumentCombo()->setCurrentIndex(0);
    QTest::keyClicks(dock.SearchEdit(), QStringLiteral("LEAK"));
    QTest::keyClick(dock.SearchEdit(), Qt::Key_Return);
    EXPECT_EQ(ShownTexts(dock), QStringList({"Error: leak"}));

    savePath = folder.filePath(QStringLiteral("shown.csv"));
    QTest::mouseClick(dock.ExportButton(), Qt::LeftButton);
    QFile csv(savePath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << "header, the one entry shown, end";
    EXPECT_EQ(lines[0], QStringLiteral("Time,Kind,Instrument,User,Host,Entry"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",Error,SN-1,operator,bench,Error: leak")))
        << lines[1].toStdString();
}

TEST_F(HistoryDock, SaysTheHistoryIsNotBeingKeptAndWhy) {
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(4096, 'G'));
    damaged.close();
    CHistoryWriter writer(path, {});
    CEventLogDock dock;
    dock.AttachHistory(&writer);
    ASSERT_TRUE(QTest::qWaitFor([&dock] {
        return dock.HistoryStatus()->text().startsWith(
            QStringLiteral("The service history is not being kept: "));
    }));
    EXPECT_EQ(dock.List()->model(), &dock.Log()) << "this session's log is still shown";
}

} // namespace
