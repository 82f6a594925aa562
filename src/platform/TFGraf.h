#pragma once
// The graph child form: one graph window on screen. A tool bar of zoom and
// display tools, the drawing surface, a horizontal scroll bar over the full x
// range and an inline number editor placed on an axis label. The window
// (TGrWin) holds all state; the form routes its events to the graph rules and
// repaints. Its tag is the window's index in the window set.
//
// Tools whose work lies outside the window set (accumulation, the comments
// list, help, the export) are reported through signals for the main window to
// carry out.

#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

class QMdiSubWindow;
#include <string>

#include "analysis/AnalysisContext.h"
#include "graphs/GraphForm.h"
#include "graphs/TAllWindows.h"
#include "graphs/TGrWin.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

class TEditDig;
class TFGraf;

// The area the graph is drawn on; it passes its mouse events to the form.
class GraphSurface : public QWidget {
  Q_OBJECT
 public:
  explicit GraphSurface(TFGraf& form, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TFGraf& form_;
};

class TFGraf : public QWidget, public GraphForm {
  Q_OBJECT
 public:
  TFGraf(TGrWin& window, TAllWindows& windows, const AnalysisContext& ctx,
         QWidget* parent = nullptr);
  ~TFGraf() override;

  // GraphForm
  void SetCaption(const std::string& caption) override;
  void SetTag(int tag) override { tag_ = tag; }
  void Repaint() override;
  void UpdateScrollBar() override;
  void CloseLabelEditor() override;
  void BringToFront() override;
  void Close() override;
  void UpdateTypeTools(const TypeTools& tools) override;
  void HideIntervalSpectrumTools() override;

  // The form's own size, which a new window and a cascade give it; below
  // the minimum the tool bar and plot no longer fit.
  QSize sizeHint() const override { return {650, 356}; }
  QSize minimumSizeHint() const override { return {320, 160}; }

  int Tag() const { return tag_; }
  GraphSurface& Surface() { return *surface_; }
  QScrollBar& ScrollBar() { return *scrollBar_; }
  // The label editor; hidden while no label is being edited.
  TEditDig& LabelEditor() { return *editor_; }
  // A tool button by its object name ("SpeedButton1" … "SpeedButton13").
  QToolButton* Tool(const char* name) const;

  // Surface events, in surface co-ordinates.
  void MouseDown(int x, int y, Qt::MouseButton button);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y, Qt::MouseButton button);
  void PaintSurface(QPaintEvent* event);

 signals:
  // The accumulation button was pressed: accumulation on (true) or off.
  void AccumulationToggled(bool on);
  void CommentsRequested();
  void HelpRequested(int topic);
  // "В файл": the frame tables are to be written to "Signals.TXT".
  void ExportRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QToolButton* AddTool(const char* name, TextId hint, bool checkable);
  // The MDI child frame around the form, or null outside the main window.
  QMdiSubWindow* SubWindow() const;
  void ZoomToolClicked(QToolButton* clicked);
  void AxesToolClicked(bool separate);
  void SelectCurve(int x, int y);
  void OpenEditor(int x, int y);
  void HoldSize(bool hold);
  void ApplyEditor();
  void Scrolled(int position);
  // A signal traces window changed its range or selected curve: the interval
  // spectrum it feeds is recomputed.
  void SourceChanged();
  // Distortion: the next (+1) or previous (-1) time row.
  void StepTimePoint(int step);
  bool TextCursorAt(int x, int y) const;

  TGrWin* window_;  // null once the window has left the set
  TAllWindows& windows_;
  AnalysisContext ctx_;
  int tag_ = -1;
  int mouseX_ = 0;
  int textHeight_ = 13;  // of the labels, measured at each paint
  int scrollAction_ = 0;
  bool updatingScrollBar_ = false;
  QWidget* toolBar_;
  GraphSurface* surface_;
  QScrollBar* scrollBar_;
  TEditDig* editor_;
  QSize heldMinimum_, heldMaximum_;
};

// The digits after the separator the label editor shows a value with.
int EditorDigits(double value);

}  // namespace kalvex
