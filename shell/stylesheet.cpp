#include "shell/stylesheet.h"

const char *const styleSheet
    = "QStackedWidget { background-color: qlineargradient(x1: 0.4, y1: 0.4, x2: 1, y2: 1, "
      "stop: 0 #FFFFFF, stop: 1 #FFCC87);}QLabel {color: rgb(0,0,0) ;}ClickLabel:hover, "
      "MenuLabel:hover{color: #DF7F00;}";
