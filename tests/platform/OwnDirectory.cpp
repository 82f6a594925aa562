// Every platform test process starts in a directory of its own: the main
// window keeps its project file in the directory it starts in, and no test
// may find the file another test left.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace {

class OwnDirectory : public ::testing::Environment {
 public:
  void SetUp() override {
    dir_ = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(dir_->path());
  }
  void TearDown() override {
    QDir::setCurrent(QDir::tempPath());
    dir_.reset();
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
};

[[maybe_unused]] auto* const kOwnDirectory = ::testing::AddGlobalTestEnvironment(new OwnDirectory);

}  // namespace
