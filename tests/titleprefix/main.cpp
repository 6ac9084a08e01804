#include "app/titleprefix.h"

#include <cstdio>

int main()
{
    std::fputs(titlePrefix().toUtf8().constData(), stdout);
    return 0;
}
