#pragma once
// The four model list dialogs ("Аппаратура" → "Списки") without their
// widgets: caption, columns, the table's rows as texts, the edit fields with
// their entry settings, and what "Добавить", "Изменить", "Удалить" and "Да"
// do. The dialog works on its own rows; the list and its file change only on
// "Да".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recordings/ModelLists.h"
#include "shell/NumericKeyFilter.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

class FileStore;
class UserInteraction;

// One edit field under the table.
struct ModelListField {
  TextId Label;
  bool Numeric = false;     // a numeric entry field with these options
  TEditDigOptions Options;  // meaningful when Numeric
  int MaxChars = 0;         // characters the field takes; 0 = no limit
};

class ModelListDialog {
 public:
  // The dialog on a copy of the list of that kind.
  ModelListDialog(ModelListKind kind, const ModelLists& lists);

  ModelListKind Kind() const { return kind_; }
  TextId Caption() const;
  // 170 vibrators, 171 accelerometers, 172 controllers, 173 sources.
  int HelpTopic() const;
  // "№", "Модель", the value columns, "Примечание".
  std::vector<TextId> Columns() const;
  // "Модель", the value fields, "Примечание" (at most 63 characters).
  const std::vector<ModelListField>& Fields() const { return fields_; }

  // One row per entry, one text per column: "1.", the name, the values
  // (integers in decimal, reals with two decimals) and the note.
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
  std::optional<std::size_t> Selected() const { return selected_; }

  // The texts of the edit fields, one per field; the widgets keep them here.
  std::vector<std::string> EditTexts;

  // Selecting a row copies its texts into the edit fields.
  void Select(std::size_t row);

  // "Добавить": after the entry check and the duplicate-name test, a row
  // with the edit fields' texts is appended. False when refused (the error
  // box was shown).
  bool Add(UserInteraction& ui);

  // "Изменить": with a row selected, the entry check, then the question
  // "Текущая строка списка будет изменена. Продолжить?"; on Yes the row takes
  // the edit fields' texts. No duplicate-name test. True when the row changed.
  bool Change(UserInteraction& ui);

  // "Удалить": with a row selected, the question "Текущая строка списка будет
  // удалена. Продолжить?"; on Yes the row goes and no row is selected after.
  bool Delete(UserInteraction& ui);

  // "Да": the list is rebuilt from the rows in row order (Number = the
  // 0-based row, the 1-based row in the vibrator list; notes cut to 63
  // characters) and its file is rewritten at `path`. A failed write shows
  // "Cannot create file ..." and leaves the old file; the list is replaced
  // all the same. True when the list was replaced.
  bool Accept(ModelLists& lists, FileStore& store, const std::string& path,
              UserInteraction& ui) const;

  // The entry check: the name without surrounding blanks is not empty and
  // holds no ";" (the file ends a name at its first ";"), and every value
  // field converts.
  bool EntryValid() const;

  // Names compared as the duplicate test does: surrounding blanks removed,
  // the Latin letters a-z regardless of case, every other character exactly.
  static bool SameName(std::string_view a, std::string_view b);

 private:
  void Renumber();
  std::vector<std::string> RowFromEdits() const;

  ModelListKind kind_;
  std::vector<ModelListField> fields_;
  std::vector<std::vector<std::string>> rows_;
  std::optional<std::size_t> selected_;
};

}  // namespace kalvex
