#pragma once
// The process-wide selections the "Аппаратурные режимы" dialog edits.

namespace kalvex {

struct EquipmentChoice {
  int EquipmentIndex = 0;  // 0 Quorimeter, 1 Notebook Marlo
  int Mode = 0;            // RecordingMode 0..4; anything else is no mode
  int PortNumber = 0;      // "COM" n, or 0 for "USB" (no COM port)
  int BaudIndex = 0;       // 0 "115 200", 1 "57 600"
  bool operator==(const EquipmentChoice&) const = default;
};

}  // namespace kalvex
