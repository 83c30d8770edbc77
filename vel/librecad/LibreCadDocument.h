// LibreCadDocument.h - LibreCAD's drawing through its plug-in interface, in the plain values of
// LibreCadEntities: every entity read, and entities made and removed. Whatever one run of the
// command does is one step of LibreCAD's undo.
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
    explicit LibreCadDocument(Document_Interface& doc) : doc_(&doc) {}
    ~LibreCadDocument();
    LibreCadDocument(const LibreCadDocument&) = delete;
    LibreCadDocument& operator=(const LibreCadDocument&) = delete;

    // Every visible entity of the drawing with its handle, which stays valid for the run.
    std::vector<std::pair<Plug_Entity*, LcEntity>> readAll();
    // LibreCAD's id of an entity picked or selected.
    static std::uint64_t idOf(Plug_Entity* entity);
    // What an entity of the drawing is, as readAll gives it.
    static LcEntity read(Plug_Entity* entity);

    // Shows the entity; returns its handle. (LibreCAD's in-place change of a polyline's vertices
    // loses a vertex of a closed one, so entities are made afresh.)
    Plug_Entity* show(const LcEntity& entity);
    // Takes an entity out of the drawing.
    void remove(Plug_Entity* entity);
    std::string currentLayer() const;
    void setCurrentLayer(const std::string& name);
    void refresh();
    // The drawing through the interface of LibreCAD's next call of the plug-in: the handles
    // read and made so far stay valid, as they hold the entities themselves.
    void rebind(Document_Interface& doc) { doc_ = &doc; }

private:
    // LibreCAD puts an entity on a layer it does not have on layer 0: the layer is made first.
    void makeLayer(const QString& name);

    Document_Interface* doc_;
    QSet<QString> layers_;
    // Handles of the drawing's own entities, which let go of their entity when deleted. A handle
    // of an entity made here deletes the entity with it, so those stay.
    std::vector<Plug_Entity*> read_;
};

}  // namespace vel::librecad
