#pragma once
// The program's help: one HTML page per language bundled as a Qt resource,
// with an anchor "topic-N" per help topic number, shown in one help window
// per process.

class QWidget;

namespace kalvex {

// Chooses the page the help shows: the English one (true) or the Russian one
// (false, the default). Call it once at start-up, with the interface language,
// before the first ShowHelpTopic; a later call takes effect at the next
// ShowHelpTopic. User-interface thread only.
void SelectHelpLanguage(bool english);

// Shows the help window scrolled to the topic's section; a topic the page does
// not hold shows the contents (topic 20) instead. The window is non-modal,
// created on first use and reused (and raised) afterwards; Esc hides it. The
// first time it is shown for an owner it is placed beside the owner, never
// over the owner's menu bar, within the screen's available area. While a modal
// dialog runs, the window is kept usable beside it and stays open when the
// dialog closes. parent is the widget asking for help (may be null); the
// window belongs to its top-level window. User-interface thread only.
void ShowHelpTopic(QWidget* parent, int topic);

// Whether the selected page has a section for the topic. Needs the application
// object (the page is read as a rich-text document).
bool HasHelpTopic(int topic);

}  // namespace kalvex
