// What the window's own kinds of widget tell assistive technology, where the
// toolkit's interfaces would tell it too little or something wrong.
#ifndef BITLENS_ACCESSIBLEINTERFACES_H
#define BITLENS_ACCESSIBLEINTERFACES_H

class QLineEdit;

// Installs, once for the process, the interfaces for magnitude labels (whose
// name carries the magnitude they show) and for read-only fields (reported
// read-only and not editable). An interface exists only once assistive
// technology asks for it, so none of this costs anything without one.
void InstallAccessibleInterfaces();

// To be called once `field` is read-only. The toolkit makes a field's
// interface as soon as its text or name is set, listening or not, so one
// made while the field was still editable is replaced.
void ReportReadOnly(QLineEdit& field);

#endif
