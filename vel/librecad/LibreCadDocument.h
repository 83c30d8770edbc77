// LibreCadDocument.h - LibreCAD's drawing through its plug-in interface, in the plain values of
// LibreCadEntities: every entity read, and entities made, changed in place and removed. Entities
// made in one run are changed in place, never removed and made again, so that LibreCAD's undo,
// which turns each entity a run touched, takes the whole run back.
#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <cstdint>
#include <map>
#include <vector>

#include "vel/librecad/LibreCadEntities.h"

class Document_Interface;
class Plug_Entity;

namespace vel::librecad {

class LibreCadDocument {
public:
    explicit LibreCadDocument(Document_Interface& doc) : doc_(doc) {}
    ~LibreCadDocument();
    LibreCadDocument(const LibreCadDocument&) = delete;
    LibreCadDocument& operator=(const LibreCadDocument&) = delete;

    // Every visible entity of the drawing with its handle, which stays valid for the run.
    std::vector<std::pair<Plug_Entity*, LcEntity>> readAll();
    // LibreCAD's id of an entity picked or selected.
    static std::uint64_t idOf(Plug_Entity* entity);

    // Shows the entity; `reuse`, made earlier in this run and of the same kind, is changed into it
    // in place. Returns the handle.
    Plug_Entity* show(const LcEntity& entity, Plug_Entity* reuse = nullptr);
    // Takes an entity out of the drawing.
    void remove(Plug_Entity* entity);
    std::string currentLayer() const;
    void setCurrentLayer(const std::string& name);
    void refresh();

    static LcKind kindOf(Plug_Entity* entity);

private:
    // LibreCAD puts an entity on a layer it does not have on layer 0: the layer is made first.
    void makeLayer(const QString& name);

    Document_Interface& doc_;
    QSet<QString> layers_;
    // Handles of the drawing's own entities, which let go of their entity when deleted. A handle
    // of an entity made here deletes the entity with it, so those stay.
    std::vector<Plug_Entity*> read_;
};

}  // namespace vel::librecad
