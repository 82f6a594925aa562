// The desktop's QC history: each verdict the QC panel shows is kept under
// its vibrator (the file's name, then the report dialog's number), the
// "История QC" dialog lists and renames the vibrators, and a history that
// cannot be written is said once and left as it was.
#include <gtest/gtest.h>

#include <QTableWidget>

#include "QcHistoryDialog.h"
#include "QcHistoryKeeper.h"
#include "QcPanel.h"
#include "qc/LimitProfile.h"
#include "support/SampleMainWindow.h"

namespace kalvex {
namespace {

std::vector<std::string> Vibrators(const std::string& path) {
  std::string error;
  std::vector<HistoryFigure> figures;
  auto store = QcHistoryStore::OpenForReading(path, error);
  EXPECT_TRUE(store && store->Read({}, figures, error)) << error;
  std::vector<std::string> names;
  for (const VibratorVerdict& v : LatestVerdicts(figures)) names.push_back(v.vibrator);
  return names;
}

TEST(QcHistoryDialogTest, VerdictsAreKeptListedAndRenamed) {
  QTemporaryDir data;
  const QString path = data.filePath(QStringLiteral("history.sqlite"));
  qputenv("KALVEX_QC_HISTORY", path.toLocal8Bit());
  test::SampleMainWindow w("dodida.qrm");
  qunsetenv("KALVEX_QC_HISTORY");
  ASSERT_TRUE(w.started);
  TForm1& main = *w.main;
  ASSERT_EQ(main.History().Path(), path.toStdString());
  main.Qc().SetProfile(BuiltInLimitProfile());
  EXPECT_EQ(Vibrators(main.History().Path()), std::vector<std::string>{"dodida"});
  main.History().NumberVibrator("12");
  main.Qc().Update();  // judged again: kept once, under the number
  EXPECT_EQ(Vibrators(main.History().Path()), std::vector<std::string>{"12"});

  QcHistoryDialog dialog(main.History(), *w.ui, &main);
  ASSERT_TRUE(dialog.Reload());
  ASSERT_EQ(dialog.Table().rowCount(), 1);
  EXPECT_EQ(dialog.Table().item(0, 0)->text(), QStringLiteral("12"));
  EXPECT_EQ(dialog.Table().item(0, 2)->text(), QStringLiteral("PASS"));
  EXPECT_EQ(dialog.Plot().Vibrator(), "12");
  dialog.Rename("12", "V12");
  EXPECT_EQ(dialog.Table().item(0, 0)->text(), QStringLiteral("V12"));
  EXPECT_TRUE(w.ui->errors.empty());

  // A file that is not a history: said once, never written.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a history");
  file.close();
  QFile::remove(path + "-wal");
  QFile::remove(path + "-shm");
  main.Qc().Update();
  main.Qc().Update();
  EXPECT_EQ(w.ui->errors.size(), 1u);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("not a history"));
  EXPECT_FALSE(dialog.Reload());
}

}  // namespace
}  // namespace kalvex
