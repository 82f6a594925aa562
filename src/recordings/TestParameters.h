#pragma once
// The test parameters a recording and the project file's main record both
// keep, by name: weights, trigger level and delay, sensitivities, servo and
// source factors, TestOut. One list serves copying between the two and
// writing them out.

namespace kalvex {

// Calls visit(key, a's field, b's field) for each parameter, in one fixed
// order; `key` is the name the command line's JSON gives it.
template <class A, class B, class Visit>
void VisitTestParameters(A& a, B& b, Visit&& visit) {
  visit("holdDownWeight", a.HoldDownWeight, b.HoldDownWeight);
  visit("baseplateWeight", a.BaseplateWeight, b.BaseplateWeight);
  visit("reactionMassWeight", a.ReactionMassWeight, b.ReactionMassWeight);
  visit("triggerLevel", a.TriggerLevel, b.TriggerLevel);
  visit("triggerDelay", a.TriggerDelay, b.TriggerDelay);
  visit("baseplateAccSensitivity", a.BaseplateAccSensitivity, b.BaseplateAccSensitivity);
  visit("massAccSensitivity", a.MassAccSensitivity, b.MassAccSensitivity);
  visit("servoCurrentFactor", a.ServoCurrentFactor, b.ServoCurrentFactor);
  visit("sourceVoltageFactor", a.SourceVoltageFactor, b.SourceVoltageFactor);
  visit("sourceCurrentFactor", a.SourceCurrentFactor, b.SourceCurrentFactor);
  visit("sourceSensorFactor", a.SourceSensorFactor, b.SourceSensorFactor);
  visit("testOut", a.TestOut, b.TestOut);
}

// Copies every test parameter of `from` into `to`.
template <class To, class From>
void CopyTestParameters(To& to, const From& from) {
  VisitTestParameters(to, from, [](const char*, auto& t, const auto& f) { t = f; });
}

}  // namespace kalvex
