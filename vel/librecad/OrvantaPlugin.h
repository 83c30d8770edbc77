// OrvantaPlugin.h - the LibreCAD plug-in: the insert command under LibreCAD's Plugins menu.
#pragma once

#include <QObject>

#include "qc_plugininterface.h"

namespace vel::librecad {

class OrvantaPlugin : public QObject, public QC_PluginInterface {
    Q_OBJECT
    Q_INTERFACES(QC_PluginInterface)
    Q_PLUGIN_METADATA(IID LC_DocumentInterface_iid FILE "orvanta.json")

public:
    QString name() const override;
    PluginCapabilities getCapabilities() const override;
    void execComm(Document_Interface* doc, QWidget* parent, QString cmd) override;
};

}  // namespace vel::librecad
