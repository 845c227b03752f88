#pragma once

#include "config/ValueLists.h"

class DemoRandom;

// Texts that several tables of the demo data share, as UTF-8.

// A customer of the harness maker; sometimes none (a null pointer, stored as NULL).
const char* PickCustomer(DemoRandom& random);
// The UserID of a demo user who creates harnesses, jobs and labels.
const char* PickCreator(DemoRandom& random);
// The value of a random entry of a demo value list: what a user could have written.
const char* PickListValue(DemoRandom& random, ValueListIndex list);
