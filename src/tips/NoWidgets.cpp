// The rules are tested without windows and reused by tools that have no display; a
// dependency on the widget toolkit would creep in through any linked library, so the
// build stops here when one does.
#if defined(QT_WIDGETS_LIB) || defined(QT_GUI_LIB)
#error "src/tips must not depend on Qt Widgets or Qt Gui: it holds the rules, not the screens"
#endif
