#include "controls/PNQScrollView.h"

PNQScrollView::PNQScrollView(QWidget *parent) : QScrollArea(parent) {}
