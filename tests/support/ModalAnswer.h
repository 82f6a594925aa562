#pragma once
// Answers a modal dialog from inside its own event loop: a modal dialog
// blocks the test until it closes, so the answer is scheduled before the
// command that opens it and runs as soon as the dialog of type `Dialog` is
// the active modal widget (polled for about a second).

#include <QApplication>
#include <QTimer>
#include <functional>

namespace kalvex::test {

template <typename Dialog>
void AnswerNextModal(std::function<void(Dialog&)> answer, int triesLeft = 200) {
  QTimer::singleShot(5, [answer, triesLeft] {
    if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      answer(*d);
      return;
    }
    if (triesLeft > 0) AnswerNextModal<Dialog>(answer, triesLeft - 1);
  });
}

}  // namespace kalvex::test
