#include "graphs/CommentsList.h"

#include <algorithm>

#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFile.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

ListRequest CommentsList(const TGrWin& window, const TFrmFile& recording) {
  ListRequest list;
  list.title = Text(TextId::CommentsTitle);
  list.columns = {Text(TextId::CommentsColumnNumber), Text(TextId::CommentsColumnFile),
                  Text(TextId::CommentsColumnComment)};
  if (!window.Accumulating) {
    list.rows.push_back({"", recording.Name, recording.Comment});
    return list;
  }
  const int count = std::clamp<int>(window.CurveCount, 0, MaxCurves);
  for (int i = 0; i < count; ++i)
    if (const TNFile* s = window.Curves[i].Recording)
      list.rows.push_back(
          {FormatText(TextId::RecordListItem, {std::to_string(s->Number)}), s->Name, s->Comment});
  return list;
}

}  // namespace kalvex
