// What the window's own kinds of widget tell assistive technology, where the
// toolkit's interfaces would tell it too little or something wrong.
#ifndef BITLENS_ACCESSIBLEINTERFACES_H
#define BITLENS_ACCESSIBLEINTERFACES_H

class QAccessibleInterface;
class QLineEdit;
class QObject;

// Installs, once for the process, the one factory of the interfaces of the
// program's own widgets: bit grids, flags, magnitude labels (whose name
// carries the magnitude they show) and read-only fields (reported read-only
// and not editable). The window calls it, and so do the bit grid and the
// flag as each is made, for the tests that make them alone. An
// interface exists only once assistive technology asks for it, so none of
// this costs anything without one.
void InstallAccessibleInterfaces();

// The interfaces the widgets' own files make, for the factory.
QAccessibleInterface* CreateBitGridAccessible(QObject* grid);
QAccessibleInterface* CreateFlagAccessible(QObject* flag);

// To be called once `field` is read-only. The toolkit makes a field's
// interface as soon as its text or name is set, listening or not, so one
// made while the field was still editable is replaced.
void ReportReadOnly(QLineEdit& field);

#endif
