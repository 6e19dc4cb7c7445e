#pragma once

// The tab "Tasks & Rechenzentrum": the server's data-centre tasks.

class QWidget;
struct HalvoServer;

/// The tasks card for the server.
QWidget* dedicatedTasksTab(const HalvoServer& server);
