#pragma once
// The program's help: one HTML page bundled as a Qt resource, with an anchor
// "topic-N" per help topic number, shown in one help window per process.

class QWidget;

namespace kalvex {

// Shows the help window scrolled to the topic's section; a topic the page does
// not hold shows the contents (topic 20) instead. The window is non-modal,
// created on first use and reused (and raised) afterwards. While a modal
// dialog runs, the window is kept usable beside it and stays open when the
// dialog closes. parent is the widget asking for help (may be null); the
// window belongs to its top-level window. User-interface thread only.
void ShowHelpTopic(QWidget* parent, int topic);

// Whether the help page has a section for the topic. Needs the application
// object (the page is read as a rich-text document).
bool HasHelpTopic(int topic);

}  // namespace kalvex
