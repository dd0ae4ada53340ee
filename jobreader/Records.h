#pragma once
// The three records the reader fills, byte for byte as callers lay them out. Packed, because
// the callers' layout puts 64-bit values at offsets that are not multiples of eight.

#include <cstddef>
#include <cstdint>

#include "QjlFileReader.h"

namespace jobreader {

#pragma pack(push, 1)

struct JobListRecord {
    char name[21];
    char description[255];
};

struct JobInfoRecord {
    char jobName[21];
    char jobDescription[255];
    char reserved276[4];
    std::int32_t itemNumber;  // 1-based
    char itemName[20];
    char itemReference[12];  // not filled
    char customer[256];
    char address[501];  // this and the texts below are not filled
    char city[501];
    char contact[501];
    char jobNotes[501];
    char itemNotes[504];
    double itemValues[6];
    char itemDescription[2048];
    char deliveryDate[24];
    std::int32_t callerWord;  // callers clear it before every Next call; never read
    std::int32_t reserved5204;
};

struct ItemRecord {
    char reserved0[12];
    std::int32_t itemNumber;  // 1-based
    char serie[31];
    char code[31];
    char reserved78[31];
    char reserved109[67];
    std::int32_t quantity;
    std::int32_t reserved180;
    std::int32_t width;  // whole millimetres
    std::int32_t height;
    std::int32_t reserved192;
    double reserved196;
    double reserved204;
    char treatment[3][21];
    char reserved275[60];
    std::uint8_t reserved335;
    char reserved336[40];
};

#pragma pack(pop)

static_assert(sizeof(JobListRecord) == QJL_JOB_LIST_RECORD_SIZE);
static_assert(offsetof(JobListRecord, description) == 21);

static_assert(sizeof(JobInfoRecord) == QJL_JOB_INFO_RECORD_SIZE);
static_assert(offsetof(JobInfoRecord, jobDescription) == 21);
static_assert(offsetof(JobInfoRecord, itemNumber) == 280);
static_assert(offsetof(JobInfoRecord, itemName) == 284);
static_assert(offsetof(JobInfoRecord, itemReference) == 304);
static_assert(offsetof(JobInfoRecord, customer) == 316);
static_assert(offsetof(JobInfoRecord, address) == 572);
static_assert(offsetof(JobInfoRecord, city) == 1073);
static_assert(offsetof(JobInfoRecord, contact) == 1574);
static_assert(offsetof(JobInfoRecord, jobNotes) == 2075);
static_assert(offsetof(JobInfoRecord, itemNotes) == 2576);
static_assert(offsetof(JobInfoRecord, itemValues) == 3080);
static_assert(offsetof(JobInfoRecord, itemDescription) == 3128);
static_assert(offsetof(JobInfoRecord, deliveryDate) == 5176);
static_assert(offsetof(JobInfoRecord, callerWord) == 5200);
static_assert(offsetof(JobInfoRecord, reserved5204) == 5204);

static_assert(sizeof(ItemRecord) == QJL_ITEM_RECORD_SIZE);
static_assert(offsetof(ItemRecord, itemNumber) == 12);
static_assert(offsetof(ItemRecord, serie) == 16);
static_assert(offsetof(ItemRecord, code) == 47);
static_assert(offsetof(ItemRecord, reserved78) == 78);
static_assert(offsetof(ItemRecord, reserved109) == 109);
static_assert(offsetof(ItemRecord, quantity) == 176);
static_assert(offsetof(ItemRecord, reserved180) == 180);
static_assert(offsetof(ItemRecord, width) == 184);
static_assert(offsetof(ItemRecord, height) == 188);
static_assert(offsetof(ItemRecord, reserved192) == 192);
static_assert(offsetof(ItemRecord, reserved196) == 196);
static_assert(offsetof(ItemRecord, reserved204) == 204);
static_assert(offsetof(ItemRecord, treatment) == 212);
static_assert(offsetof(ItemRecord, treatment) + 21 == 233);
static_assert(offsetof(ItemRecord, treatment) + 42 == 254);
static_assert(offsetof(ItemRecord, reserved335) == 335);

// How many bytes of text each field holds, its terminating zero not counted.
constexpr std::size_t kJobNameBytes = sizeof(JobListRecord::name) - 1;
constexpr std::size_t kDescriptionBytes = sizeof(JobListRecord::description) - 1;
constexpr std::size_t kCustomerBytes = sizeof(JobInfoRecord::customer) - 1;
constexpr std::size_t kItemNameBytes = sizeof(JobInfoRecord::itemName) - 1;
constexpr std::size_t kSerieBytes = sizeof(ItemRecord::serie) - 1;
constexpr std::size_t kCodeBytes = sizeof(ItemRecord::code) - 1;
constexpr std::size_t kTreatmentBytes = sizeof(ItemRecord::treatment[0]) - 1;

}  // namespace jobreader
