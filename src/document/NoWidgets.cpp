// The terminal command saves documents without a window (a QGuiApplication on the
// offscreen platform at most): the build stops here when Qt Widgets reaches the library.
#if defined(QT_WIDGETS_LIB)
#error "src/document must not depend on Qt Widgets: Qt Gui lays out the PDF, nothing more"
#endif
