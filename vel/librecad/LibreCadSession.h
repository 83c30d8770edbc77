// LibreCadSession.h - one run of the command inside LibreCAD: LibreCAD's drawing becomes the
// host's, the plug-in is started through the host library as velhost starts it, each prompt is
// answered by LibreCAD's own point and selection input turned into host input (HostInput, as the
// window and scripts do), and after every step what the run changed is shown in LibreCAD.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <memory>

#include "vel/io/HostInput.h"
#include "vel/io/Interaction.h"
#include "vel/librecad/EditingView.h"
#include "vel/librecad/KeptFailure.h"
#include "vel/librecad/LibreCadDocument.h"
#include "vel/librecad/LibreCadView.h"

class QDialog;
class QWidget;

namespace vel::librecad {

// How LibreCAD's wait for a point or a selection ended, as its keys and buttons tell, read with
// LibreCAD's conventions (vel/io/Interaction): LibreCAD itself answers Escape and the right button
// alike, ends a selection on Enter, ignores Enter at a point with nothing typed, and takes a point
// typed in its command line.
class EndOfWait : public QObject {
public:
    explicit EndOfWait(KeptFailure& failure) : failure_(failure) {}
    Meaning meaning = Meaning::Nothing;
    // At a point LibreCAD ignores Enter, which is then told to it as Escape; its selection input
    // takes Enter itself.
    bool forPoint = false;
    // While LibreCAD waits for a figure: called when a click picked nothing and the wait goes on.
    std::function<void()> missed;
    bool waiting = false;
    // Where the last left click in LibreCAD's drawing view landed, in the view's pixels.
    QPointer<QWidget> clickView;
    QPoint clickAt;
    // The view zoomed or panned during the wait.
    bool viewMoved = false;
    // LibreCAD's drawing view, which ends its wait on Escape.
    QPointer<QWidget> view;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Ends LibreCAD's wait as Escape does, after a failure of the bridge's.
    void giveUp();

private:
    void look(QObject* watched, QEvent* event);

    KeptFailure& failure_;
    bool missPending_ = false;  // a click is being looked at (it travels through several widgets)
};

// With a trace, tells where each control of a dialog of the plug-in's lies on the screen, as
// "dialog ID" and "control ID X Y" lines, and "closed ID" when it goes: how a test that drives
// LibreCAD answers a dialog.
class DialogTracer : public QObject {
public:
    DialogTracer(KeptFailure& failure, std::function<void(const std::string&)> trace)
        : failure_(failure), trace_(std::move(trace)) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void look(QDialog* dialog, QEvent* event);

    KeptFailure& failure_;
    std::function<void(const std::string&)> trace_;
};

class LibreCadSession {
public:
    // `plugin`: the plug-in library, loaded as velhost loads it.
    LibreCadSession(Document_Interface& doc, QWidget* window, std::string plugin);
    // One run of the command, or its part up to the end of an insert. Nothing it meets leaves it
    // into LibreCAD: a failure ends the run, takes out of LibreCAD's drawing what the run showed
    // there and says why in the command line. True when the run goes on after an insert: LibreCAD
    // makes each call of the plug-in one undo step, so each insert returns to it and the run
    // resumes at LibreCAD's next call.
    bool run();
    // LibreCAD's next call, which the run goes on in.
    void resume(Document_Interface& doc, QWidget* window);

private:
    // Starts the run the first time, and goes on with it; true when paused after an insert.
    bool runCommand();
    void start();
    void abandon(const std::string& why);
    void importDrawing();
    void step();
    // The input of one step: in the editing window while the insert is edited, else by LibreCAD's
    // own selection or point input.
    InputResult editInsert();
    InputResult selectInLibreCad();
    InputResult figureInLibreCad();
    InputResult pointInLibreCad();
    // What LibreCAD shows as selected is no longer.
    void deselectAll();
    InputResult confirm();
    InputResult escape();
    // Back one step: from the second corner to the first-corner prompt, with nothing left
    // behind.
    InputResult stepBack();
    void focusDrawing();
    // Shows in LibreCAD what the drawing's changes since the last call did.
    void showChanges();
    void say(const QString& text);
    QString prompt() const;
    // With ORVANTA_LIBRECAD_TRACE naming a file, each prompt and each input taken is written to
    // it as a line: how a test that drives LibreCAD learns where a click landed.
    void trace(const std::string& line);

    Document_Interface* doc_;
    QWidget* window_;
    std::string plugin_;
    std::string trace_;
    LibreCadDocument lc_;
    HostInput input_;
    // What failed where Qt called the bridge, thrown again once LibreCAD's wait has ended.
    KeptFailure failure_;
    EndOfWait end_;
    DialogTracer dialogs_;
    std::unique_ptr<EditingView> editing_;
    // The drawing's segments that are LibreCAD's entities, both ways.
    std::map<int, Plug_Entity*> imported_;
    std::map<std::uint64_t, int> segmentOfEntity_;
    // The entities shown for segments this run made.
    std::map<int, std::vector<Plug_Entity*>> shown_;
    // The drawing's own entities the run took out (the command changed their figures), to be put
    // back if the run fails.
    std::vector<LcEntity> replaced_;
    // LibreCAD's view, as the points its clicks gave tell it.
    LibreCadView libreCadView_;
    InsertCycles inserts_;  // where the run's inserts end
    bool started_ = false;
    ViewFrame frame_;     // of the drawing as the run found it
    double reach_ = 1.0;  // the host's own, in drawing units (see kReachShare)
};

}  // namespace vel::librecad
