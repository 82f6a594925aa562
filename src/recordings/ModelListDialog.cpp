#include "recordings/ModelListDialog.h"

#include "recordings/Cp1251.h"
#include "recordings/ModelListEntries.h"
#include "recordings/ModelListFiles.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

// Unsigned integer; `mayBeNul` whether it may start with "0".
ModelListField IntegerField(TextId label, bool mayBeNul) {
  ModelListField f{label, true, {}, 0};
  f.Options.SetZnak(false);
  f.Options.SetInteg(true);
  f.Options.SetMayBeNul(mayBeNul);
  return f;
}

// Signed, two decimals.
ModelListField RealField(TextId label, int maxChars) {
  ModelListField f{label, true, {}, maxChars};
  f.Options.SetZnak(true);
  f.Options.SetInteg(false);
  f.Options.SetAfterZpt(2);
  return f;
}

std::vector<ModelListField> ValueFields(ModelListKind kind) {
  switch (kind) {
    case ModelListKind::Vib:
      return {IntegerField(TextId::ModelFieldHdwKg, false),
              IntegerField(TextId::ModelFieldRmKg, true),
              IntegerField(TextId::ModelFieldBpKg, true)};
    case ModelListKind::Acc:
      return {RealField(TextId::ModelFieldSensitivity, 0),
              IntegerField(TextId::ModelColumnDelayCode, true)};
    case ModelListKind::Control:
      return {RealField(TextId::ModelFieldCurrent, 5), RealField(TextId::ModelFieldTestOut, 5)};
    case ModelListKind::Source:
      break;
  }
  return {IntegerField(TextId::ModelFieldRm, false), IntegerField(TextId::ModelFieldBp, true),
          RealField(TextId::ModelFieldAccRm, 6),     RealField(TextId::ModelFieldAccBp, 6),
          RealField(TextId::ModelFieldVoltage, 5),   RealField(TextId::ModelFieldCurrent, 5),
          RealField(TextId::ModelFieldSensor, 5)};
}

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char FoldLatin(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

ModelListDialog::ModelListDialog(ModelListKind kind, const ModelLists& lists) : kind_(kind) {
  fields_.push_back({TextId::ModelColumnModel, false, {}, 0});
  for (const ModelListField& f : ValueFields(kind)) fields_.push_back(f);
  fields_.push_back({TextId::ModelColumnNote, false, {}, ModelNoteMaxChars});
  EditTexts.assign(fields_.size(), std::string());

  const std::span<const ModelValueType> types = ModelValueTypes(kind);
  for (const ModelEntry& e : EntriesOf(lists, kind)) {
    std::vector<std::string> row{std::string(), e.Name};
    for (std::size_t k = 0; k < types.size(); ++k)
      row.push_back(ModelValueText(types[k], e.Values[k]));
    row.push_back(e.Note);
    rows_.push_back(std::move(row));
  }
  Renumber();
}

TextId ModelListDialog::Caption() const {
  switch (kind_) {
    case ModelListKind::Vib:
      return TextId::ModelListVibCaption;
    case ModelListKind::Acc:
      return TextId::ModelListAccCaption;
    case ModelListKind::Control:
      return TextId::ModelListControlCaption;
    case ModelListKind::Source:
      break;
  }
  return TextId::ModelListSourceCaption;
}

int ModelListDialog::HelpTopic() const {
  return 170 + static_cast<int>(kind_);
}

std::vector<TextId> ModelListDialog::Columns() const {
  std::vector<TextId> columns{TextId::ModelColumnNumber, TextId::ModelColumnModel};
  switch (kind_) {
    case ModelListKind::Vib:
      columns.insert(columns.end(),
                     {TextId::ModelColumnHdwKg, TextId::ModelColumnRmKg, TextId::ModelColumnBpKg});
      break;
    case ModelListKind::Acc:
      columns.insert(columns.end(), {TextId::ModelColumnSensitivity, TextId::ModelColumnDelayCode});
      break;
    case ModelListKind::Control:
      columns.insert(columns.end(),
                     {TextId::ModelColumnControlCurrent, TextId::ModelColumnTestOut});
      break;
    case ModelListKind::Source:
      columns.insert(columns.end(),
                     {TextId::ModelColumnRmKg, TextId::ModelColumnBpKg, TextId::ModelColumnAccRm,
                      TextId::ModelColumnAccBp, TextId::ModelColumnVoltage,
                      TextId::ModelColumnSourceCurrent, TextId::ModelColumnSensor});
      break;
  }
  columns.push_back(TextId::ModelColumnNote);
  return columns;
}

void ModelListDialog::Select(std::size_t row) {
  if (row >= rows_.size()) return;
  selected_ = row;
  // The row's cells after its number are the edit fields' texts in order.
  EditTexts.assign(rows_[row].begin() + 1, rows_[row].end());
}

bool ModelListDialog::EntryValid() const {
  const std::string_view name = Trimmed(EditTexts.at(0));
  if (name.empty() || name.find(';') != std::string_view::npos) return false;
  const std::span<const ModelValueType> types = ModelValueTypes(kind_);
  double value = 0;
  for (std::size_t k = 0; k < types.size(); ++k)
    if (!ParseModelValue(types[k], EditTexts.at(k + 1), value)) return false;
  return true;
}

bool ModelListDialog::SameName(std::string_view a, std::string_view b) {
  a = Trimmed(a);
  b = Trimmed(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldLatin(a[i]) != FoldLatin(b[i])) return false;
  return true;
}

bool ModelListDialog::Add(UserInteraction& ui) {
  if (!EntryValid()) {
    ui.ShowError(Text(TextId::ModelListDataError));
    return false;
  }
  for (const std::vector<std::string>& row : rows_) {
    if (SameName(row[1], EditTexts[0])) {
      ui.ShowError(Text(TextId::ModelListDuplicateName));
      return false;
    }
  }
  rows_.push_back(RowFromEdits());
  Renumber();
  return true;
}

bool ModelListDialog::Change(UserInteraction& ui) {
  if (!selected_) return false;
  if (!EntryValid()) {
    ui.ShowError(Text(TextId::ModelListDataError));
    return false;
  }
  if (!ui.AskYesNo(Text(TextId::ModelListChangeQuestion))) return false;
  rows_[*selected_] = RowFromEdits();
  Renumber();
  return true;
}

bool ModelListDialog::Delete(UserInteraction& ui) {
  if (!selected_) return false;
  if (!ui.AskYesNo(Text(TextId::ModelListDeleteQuestion))) return false;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selected_));
  // Nothing stays selected, so that a second press cannot take the next row
  // unseen.
  selected_.reset();
  Renumber();
  return true;
}

bool ModelListDialog::Accept(ModelLists& lists, FileStore& store, const std::string& path,
                             UserInteraction& ui) const {
  const std::span<const ModelValueType> types = ModelValueTypes(kind_);
  std::vector<ModelEntry> entries;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    const std::vector<std::string>& row = rows_[r];
    ModelEntry e;
    e.Name = row[1];
    e.Values.resize(types.size());
    // Every row passed the entry check or came from the list, so this fails
    // only if that promise is broken; then nothing is replaced.
    for (std::size_t k = 0; k < types.size(); ++k) {
      if (!ParseModelValue(types[k], row[k + 2], e.Values[k])) {
        ui.ShowError(Text(TextId::ModelListDataError));
        return false;
      }
    }
    e.Note = Utf8Prefix(row.back(), ModelNoteMaxChars);
    e.Number = static_cast<std::int32_t>(kind_ == ModelListKind::Vib ? r + 1 : r);
    entries.push_back(std::move(e));
  }
  ReplaceEntries(lists, kind_, entries);
  SaveModelList(lists, kind_, store, path, ui);
  return true;
}

void ModelListDialog::Renumber() {
  for (std::size_t r = 0; r < rows_.size(); ++r) rows_[r][0] = std::to_string(r + 1) + ".";
}

std::vector<std::string> ModelListDialog::RowFromEdits() const {
  std::vector<std::string> row{std::string()};
  row.insert(row.end(), EditTexts.begin(), EditTexts.end());
  return row;
}

}  // namespace kalvex
