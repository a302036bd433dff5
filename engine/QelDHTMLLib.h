// engine/QelDHTMLLib.h — the design-view operations every page command goes through. Each refuses
// to run without a design view (EngineError) and leaves the engine ready when it returns.
#pragma once
#include <QString>

namespace plovane {

class TDHTMLEdit;

// While the engine is Busy: hourglass cursor, pending events processed, until the load completes.
// Returns at once when the engine is ready. The cursor comes back also when an error leaves.
void WaitUntilReady(TDHTMLEdit* edit);

// An empty document, waited for.
void DesignNew(TDHTMLEdit* edit);

// Loads a page file. Abandons (RaiseMessage) with the load messages: a missing file, a file of
// 524288 bytes or more, and a file the engine cannot load. The empty document of DesignNew stays.
void DesignLoadFile(TDHTMLEdit* edit, const QString& path);

// Saves the document to the path (the engine writes it in its declared charset); when the
// document's base folder is not the file's folder, the file is loaded again, so relative addresses
// resolve against the new place.
void DesignSaveFile(TDHTMLEdit* edit, const QString& path);

// Replaces the document with the text (an empty text gives a new document), keeping the base
// folder; retitle writes the title back, which has the engine refresh it.
void DesignSetHTML(TDHTMLEdit* edit, const QString& text, bool retitle);
QString DesignGetHTML(TDHTMLEdit* edit);

// BaseURL := the folder part of the path, unless that is empty.
void SetBaseFolder(TDHTMLEdit* edit, const QString& path);
void RefreshTitle(TDHTMLEdit* edit);

// The status tests: all bits of DECMDF_ENABLED, or of DECMDF_LATCHED. A failed query is neither.
bool CommandEnabled(TDHTMLEdit* edit, int command);
bool CommandLatched(TDHTMLEdit* edit, int command);

// The text as the engine would show it: unchanged when empty or when SourceCodePreservation is off.
QString FilterForDisplay(TDHTMLEdit* edit, const QString& text);

}  // namespace plovane
