#include "platform/FileAccess.h"

#include <QDateTime>

namespace kalvex {

LocalDateTime CurrentLocalTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime c = now.time();
  return {d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second()};
}

}  // namespace kalvex
