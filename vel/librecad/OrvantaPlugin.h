// OrvantaPlugin.h - the LibreCAD plug-in: the insert command under LibreCAD's Plugins menu.
#pragma once

#include <QObject>
#include <memory>

#include "qc_plugininterface.h"

namespace vel::librecad {

class LibreCadSession;

class OrvantaPlugin : public QObject, public QC_PluginInterface {
    Q_OBJECT
    Q_INTERFACES(QC_PluginInterface)
    Q_PLUGIN_METADATA(IID LC_DocumentInterface_iid FILE "orvanta.json")

public:
    QString name() const override;
    PluginCapabilities getCapabilities() const override;
    void execComm(Document_Interface* doc, QWidget* parent, QString cmd) override;
    OrvantaPlugin();
    ~OrvantaPlugin() override;

private:
    // A continuous run between two of LibreCAD's calls: paused after an insert, so that each
    // insert is one step of LibreCAD's undo, and resumed at the call it asked for.
    std::unique_ptr<LibreCadSession> continuing_;
};

}  // namespace vel::librecad
