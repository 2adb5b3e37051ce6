#include "members/MemberEvents.h"

MemberEvents* MemberEvents::instance()
{
    static MemberEvents* events = new MemberEvents;
    return events;
}
