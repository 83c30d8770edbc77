// WindowFiles.cpp - opening and saving from the window, with the questions they ask first.
#include "vel/gui/WindowFiles.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <limits>
#include <utility>

#include "vel/dxf/DrawingFiles.h"
#include "vel/gui/FileProgress.h"
#include "vel/gui/WindowLanguage.h"
#include "vel/kernel/Host.h"

namespace velgui {

namespace {

constexpr int kRecentFiles = 8;
constexpr const char* kRecentKey = "recentFiles";

// What reading a file left out, in the window's language and joined as the reader's summary.
QString sayLeftOut(const vel::LeftOut& leftOut) {
    const std::vector<vel::Words> parts = leftOut.words();
    QString text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i == 0   ? QString()
                 : i == 1 ? QStringLiteral(" ")
                          : QStringLiteral("; ")) +
                say(parts[i]);
    return text;
}

}  // namespace

QSettings windowSettings() {
    return QSettings(QStringLiteral("Orvanta"), QStringLiteral("velhost"));
}

WindowFiles::WindowFiles(QMainWindow& window, vel::Host& host, UndoHistory& history,
                         std::vector<std::string> outputs, WindowFileEvents events)
    : window_(window),
      host_(host),
      history_(history),
      outputs_(std::move(outputs)),
      events_(std::move(events)) {}

void WindowFiles::setRecentMenu(QMenu* menu) {
    recentMenu_ = menu;
    refreshRecentFiles();
}

void WindowFiles::startWith(const QString& path, const vel::LeftOut& leftOut) {
    setCurrentFile(path);
    leftOutOfFile_ = sayLeftOut(leftOut);
    if (!leftOutOfFile_.isEmpty())
        events_.message(
            QStringLiteral("%1: %2").arg(QFileInfo(currentFile_).fileName(), leftOutOfFile_));
}

void WindowFiles::setCurrentFile(const QString& path) {
    currentFile_ = path;
    // Saved in the middle of a run, the file holds what no state of the history names.
    savedState_ = host_.running() ? std::numeric_limits<std::uint64_t>::max() : history_.state();
    window_.setWindowModified(false);
    const QString shown = path.isEmpty() ? tr("untitled") : QFileInfo(path).fileName();
    window_.setWindowTitle(tr("%1[*] - velhost").arg(shown));
    if (!path.isEmpty()) addRecentFile(path);
}

bool WindowFiles::withProgress(const QString& label,
                               const std::function<void(vel::Progress&)>& work,
                               const QString& cancelled, const QString& failureTitle) {
    try {
        FileProgress progress(&window_, label, progressDelay_);
        work(progress);
    } catch (const vel::Cancelled&) {
        events_.message(cancelled);
        events_.regainActivation();
        return false;
    } catch (const std::exception& e) {
        QMessageBox::warning(&window_, failureTitle, QString::fromUtf8(e.what()));
        events_.regainActivation();
        return false;
    }
    return true;
}

bool WindowFiles::openDrawing(const QString& path) {
    if (host_.running()) return false;
    vel::Drawing read;
    vel::LeftOut leftOut;
    const QString name = QFileInfo(path).fileName();
    const bool done = withProgress(
        tr("Reading %1...").arg(name),
        [&](vel::Progress& progress) {
            leftOut = vel::readDrawing(read, path.toStdString(), &progress);
        },
        tr("Opening %1 cancelled").arg(name), tr("Open"));
    if (!done) return false;
    if (leftOut.total() > 0)
        events_.message(QStringLiteral("%1: %2").arg(name, sayLeftOut(leftOut)));
    host_.drawing() = std::move(read);
    host_.clearSelection();
    history_.clear();
    setCurrentFile(path);
    leftOutOfFile_ = sayLeftOut(leftOut);
    events_.drawingReplaced();
    return true;
}

bool WindowFiles::saveDrawing(const QString& path) {
    const bool done = withProgress(
        tr("Writing %1...").arg(QFileInfo(path).fileName()),
        [&](vel::Progress& progress) {
            vel::writeDrawing(host_.drawing(), path.toStdString(), &progress);
        },
        tr("Saving cancelled: %1 is as it was").arg(path), tr("Save"));
    if (!done) return false;
    // A picture is a copy of the drawing, not where it is kept.
    if (vel::extensionOf(path.toStdString()) == ".svg") {
        events_.message(tr("Picture written to %1").arg(path));
        return true;
    }
    setCurrentFile(path);
    leftOutOfFile_.clear();
    events_.message(tr("Saved %1").arg(path));
    return true;
}

bool WindowFiles::writeOutputs() {
    for (const std::string& out : outputs_) {
        const QString path = QString::fromStdString(out);
        const bool done = withProgress(
            tr("Writing %1...").arg(QFileInfo(path).fileName()),
            [&](vel::Progress& progress) { vel::writeDrawing(host_.drawing(), out, &progress); },
            tr("Writing %1 cancelled: it is as it was").arg(path), tr("Save"));
        if (!done) return false;
    }
    return true;
}

void WindowFiles::open() {
    if (host_.running() || !maybeSave(false)) return;
    const QString path =
        QFileDialog::getOpenFileName(&window_, tr("Open drawing"), QFileInfo(currentFile_).path(),
                                     tr("Drawings (*.dxf *.json);;DXF (*.dxf);;JSON (*.json)"));
    events_.regainActivation();
    if (!path.isEmpty()) openDrawing(path);
}

bool WindowFiles::saveAs() {
    // Each type with its extension: a name typed without one takes the chosen type's,
    // before the dialog asks about overwriting, so the question is about the real file.
    const std::vector<std::pair<QString, QString>> types = {
        {tr("DXF (*.dxf)"), QStringLiteral("dxf")},
        {tr("JSON (*.json)"), QStringLiteral("json")},
        {tr("SVG picture (*.svg)"), QStringLiteral("svg")}};
    QStringList filters;
    for (const auto& [filter, suffix] : types) filters << filter;
    QFileDialog dialog(&window_, tr("Save drawing"), currentFile_, filters.join(";;"));
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto choose = [&](const QString& filter) {
        for (const auto& [f, suffix] : types)
            if (f == filter) dialog.setDefaultSuffix(suffix);
    };
    const QString current = QFileInfo(currentFile_).suffix().toLower();
    QString chosen = types.front().first;
    for (const auto& [filter, suffix] : types)
        if (suffix == current) chosen = filter;
    dialog.selectNameFilter(chosen);
    choose(chosen);
    connect(&dialog, &QFileDialog::filterSelected, &dialog, choose);
    for (;;) {
        const bool picked = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
        events_.regainActivation();
        if (!picked) return false;
        QString path = dialog.selectedFiles().front();
        // A name with a dot of its own ("part.v2") gets no default suffix from the dialog,
        // nor its question about the file that then is written.
        const QString extension = QFileInfo(path).suffix().toLower();
        if (std::none_of(types.begin(), types.end(),
                         [&](const auto& type) { return type.second == extension; })) {
            path += QLatin1Char('.') + dialog.defaultSuffix();
            if (QFileInfo::exists(path)) {
                const auto answer =
                    QMessageBox::question(&window_, tr("Save"),
                                          tr("%1 already exists.\nDo you want to replace it?")
                                              .arg(QFileInfo(path).fileName()));
                events_.regainActivation();
                if (answer != QMessageBox::Yes) continue;
            }
        }
        // The file dialog asked about replacing a file, not about what its reading left out.
        if (!losesLeftOut(path)) return saveDrawing(path);
        switch (askBeforeLosingLeftOut()) {
            case LossAnswer::Overwrite:
                return saveDrawing(path);
            case LossAnswer::Elsewhere:
                continue;
            case LossAnswer::Cancel:
                return false;
        }
    }
}

bool WindowFiles::losesLeftOut(const QString& path) const {
    if (leftOutOfFile_.isEmpty() || currentFile_.isEmpty()) return false;
    const QFileInfo target(path);
    const QFileInfo read(currentFile_);
    return target.exists() && read.exists() ? target.canonicalFilePath() == read.canonicalFilePath()
                                            : target.absoluteFilePath() == read.absoluteFilePath();
}

WindowFiles::LossAnswer WindowFiles::askBeforeLosingLeftOut() {
    QMessageBox box(QMessageBox::Warning, tr("Save"),
                    tr("Reading %1 %2.\nSaving over the file loses what was left out.")
                        .arg(QFileInfo(currentFile_).fileName(), leftOutOfFile_),
                    QMessageBox::Cancel, &window_);
    box.setObjectName(QStringLiteral("overwriteLossBox"));
    QPushButton* elsewhere = box.addButton(tr("Save &As..."), QMessageBox::AcceptRole);
    QPushButton* over = box.addButton(tr("&Overwrite"), QMessageBox::DestructiveRole);
    box.setDefaultButton(elsewhere);
    box.exec();
    events_.regainActivation();
    if (box.clickedButton() == elsewhere) return LossAnswer::Elsewhere;
    return box.clickedButton() == over ? LossAnswer::Overwrite : LossAnswer::Cancel;
}

bool WindowFiles::maybeSave(bool closing) {
    // Closing writes the --out files, which keep the changes; another drawing opened
    // in its place would drop them unasked.
    if (!modified() || (closing && !outputs_.empty())) return true;
    const auto answer = QMessageBox::question(
        &window_, QStringLiteral("velhost"), tr("The drawing has changed. Save the changes?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    events_.regainActivation();
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Discard) return true;
    return save();
}

bool WindowFiles::save() {
    if (currentFile_.isEmpty() || vel::extensionOf(currentFile_.toStdString()) == ".svg")
        return saveAs();
    if (losesLeftOut(currentFile_)) {
        switch (askBeforeLosingLeftOut()) {
            case LossAnswer::Overwrite:
                break;
            case LossAnswer::Elsewhere:
                return saveAs();
            case LossAnswer::Cancel:
                return false;
        }
    }
    return saveDrawing(currentFile_);
}

void WindowFiles::addRecentFile(const QString& path) {
    QSettings settings = windowSettings();
    QStringList files = settings.value(kRecentKey).toStringList();
    const QString full = QFileInfo(path).absoluteFilePath();
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > kRecentFiles) files.removeLast();
    settings.setValue(kRecentKey, files);
    refreshRecentFiles();
}

void WindowFiles::refreshRecentFiles() {
    if (!recentMenu_) return;
    recentMenu_->clear();
    // Files since moved or deleted are not offered; two of one name show their folders.
    QStringList files;
    for (const QString& file : windowSettings().value(kRecentKey).toStringList())
        if (QFileInfo::exists(file)) files << file;
    auto label = [&files](const QString& file) {
        const QString name = QFileInfo(file).fileName();
        const auto same = std::count_if(files.begin(), files.end(), [&](const QString& other) {
            return QFileInfo(other).fileName() == name;
        });
        QString text =
            same > 1 ? QStringLiteral("%1  (%2)").arg(name, QFileInfo(file).path()) : name;
        return text.replace(QLatin1Char('&'), QStringLiteral("&&"));  // not a shortcut mark
    };
    for (const QString& file : files)
        recentMenu_
            ->addAction(label(file), this,
                        [this, file] {
                            if (maybeSave(false)) openDrawing(file);
                        })
            ->setToolTip(file);
    recentMenu_->setEnabled(!files.isEmpty() && !host_.running());
}

}  // namespace velgui
