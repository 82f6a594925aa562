#pragma once
// The numeric entry field of every dialog: a single-line edit that passes each
// typed character through the core's key filter (shell/NumericKeyFilter.h).
// A refused character beeps and is dropped; a "," is inserted as ".".
// Navigation, Delete and pasted text are not filtered; MaxLength is the
// QLineEdit's own maxLength.

#include <QLineEdit>

#include "shell/NumericKeyFilter.h"

namespace kalvex {

class TEditDig : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(bool Znak READ Znak WRITE SetZnak)
  Q_PROPERTY(bool Integ READ Integ WRITE SetInteg)
  Q_PROPERTY(bool MayBeNul READ MayBeNul WRITE SetMayBeNul)
  Q_PROPERTY(int AfterZpt READ AfterZpt WRITE SetAfterZpt)

 public:
  explicit TEditDig(QWidget* parent = nullptr);

  bool Znak() const { return options_.Znak(); }
  void SetZnak(bool value) { options_.SetZnak(value); }
  // Setting false also sets MayBeNul.
  bool Integ() const { return options_.Integ(); }
  void SetInteg(bool value) { options_.SetInteg(value); }
  bool MayBeNul() const { return options_.MayBeNul(); }
  void SetMayBeNul(bool value) { options_.SetMayBeNul(value); }
  // 0 is stored as -1 (unlimited).
  int AfterZpt() const { return options_.AfterZpt(); }
  void SetAfterZpt(int value) { options_.SetAfterZpt(value); }

  const TEditDigOptions& Options() const { return options_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TEditDigOptions options_;
};

}  // namespace kalvex
