#pragma once

class QTableWidget;

// The settings every stock and data table shares: read-only, whole-row
// single selection, alternating row colours, no grid and no vertical header
// (the row delegate draws the row lines instead), sortable by its columns.
void applyTableStyle(QTableWidget* table);
