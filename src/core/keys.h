#pragma once
// Every name of the database file in one place: archive keys, class names,
// root keys and record property keys. A typo here cannot silently create a new
// key elsewhere, because the rest of the program only uses these constants.
//
// The record tree (what the database file holds):
//
//   root dictionary
//   ├── "years"      [Year]          ── "thelists" [Thelist] ── "items" [Item]
//   │                                │                       └─ "files" [File]
//   │                                ├─ "files"    [File]
//   │                                └─ "items"    [Item]   (kept, never filled)
//   ├── "groups"     [Group]         categories
//   ├── "accounts"   [Account]       accounts / cost centres
//   ├── "items"      [Item]          templates
//   ├── "cashbooks"  [Cashbook]      ── "items" [CashBookItem], "files" [File]
//   ├── "allowances" [Allowance]     depreciation records
//   └── "inventorys" [InventoryItem] inventory list
//
// Records refer to one another only by copied text (an item names its category
// and account by title and number, its statement by title, its year by name).

#include "core/value.h"

namespace quandor::keys {

// Archive entries of a record.
inline const Key properties{u"properties"};
inline const Key thelists{u"thelists"};
inline const Key files{u"files"};
inline const Key items{u"items"};

// Root dictionary, in writing order.
inline const Key years{u"years"};
inline const Key groups{u"groups"};
inline const Key accounts{u"accounts"};
// "items" (templates) is keys::items above.
inline const Key cashbooks{u"cashbooks"};
inline const Key allowances{u"allowances"};
inline const Key inventorys{u"inventorys"};

// Shared record keys.
inline const Key title{u"title"};
inline const Key comment{u"comment"};
inline const Key image{u"image"};
inline const Key date{u"date"};
inline const Key taxBool{u"taxBool"};
inline const Key payment{u"payment"};
inline const Key additionalPayment{u"additionalPayment"};
inline const Key rePayment{u"rePayment"};
inline const Key balance{u"balance"};
inline const Key taxFeeGet{u"taxFeeGet"};
inline const Key taxFeePay{u"taxFeePay"};
inline const Key income{u"income"};
inline const Key expense{u"expense"};
inline const Key atSum{u"atSum"};
inline const Key voranmeldungComment{u"voranmeldungComment"};
inline const Key UUID{u"UUID"};
inline const Key parentUUID{u"parentUUID"};
inline const Key templateTitle{u"templateTitle"};
inline const Key misc1{u"misc1"};
inline const Key misc2{u"misc2"};
inline const Key misc3{u"misc3"};
inline const Key misc4{u"misc4"};
inline const Key misc5{u"misc5"};
inline const Key misc6{u"misc6"};
inline const Key misc7{u"misc7"};
inline const Key misc8{u"misc8"};
inline const Key misc9{u"misc9"};

// Year.
inline const Key dateValue{u"dateValue"};

// Item.
inline const Key kind{u"kind"};
inline const Key parentTab{u"parentTab"};
inline const Key parentYear{u"parentYear"};
inline const Key kindTitle{u"kindTitle"};
inline const Key group{u"group"};
inline const Key account{u"account"};
inline const Key accountNumber{u"accountNumber"};
inline const Key account2{u"account2"};
inline const Key account3{u"account3"};
inline const Key number{u"number"};
inline const Key amount{u"amount"};
inline const Key taxTag{u"taxTag"};
inline const Key taxPerecent{u"taxPerecent"};
inline const Key taxFee{u"taxFee"};
inline const Key incomeWith{u"incomeWith"};
inline const Key expenseWithout{u"expenseWithout"};
inline const Key incomeWithout{u"incomeWithout"};
inline const Key expenseWith{u"expenseWith"};
inline const Key finalAmount{u"finalAmount"};
inline const Key finalAmountWith{u"finalAmountWith"};
inline const Key finalAmountWithout{u"finalAmountWithout"};
inline const Key fileBool{u"fileBool"};
inline const Key fileTitle{u"fileTitle"};
inline const Key filePath{u"filePath"};
inline const Key fileNote{u"fileNote"};

// Cashbook and CashBookItem.
inline const Key kassenbestand{u"kassenbestand"};
inline const Key sumEinnahme{u"sumEinnahme"};
inline const Key sumAusgabe{u"sumAusgabe"};
inline const Key taxRate{u"taxRate"};
inline const Key taxAmount{u"taxAmount"};
inline const Key nummer{u"nummer"};
inline const Key vorfall{u"vorfall"};
inline const Key konto{u"konto"};
inline const Key beleg{u"beleg"};

// Allowance.
inline const Key titel{u"titel"};
inline const Key dateCreated{u"dateCreated"};
inline const Key endDate{u"endDate"};
inline const Key sumComplete{u"sumComplete"};
inline const Key sumPerYear{u"sumPerYear"};
inline const Key creationYear{u"creationYear"};
inline const Key dueYear{u"dueYear"};
inline const Key duePeriod{u"duePeriod"};
inline const Key float1{u"float1"};
inline const Key float2{u"float2"};
inline const Key float3{u"float3"};
inline const Key float4{u"float4"};
inline const Key float5{u"float5"};
inline const Key dauerTag{u"dauerTag"};

// InventoryItem.
inline const Key brutto{u"brutto"};
inline const Key netto{u"netto"};
inline const Key category{u"category"};

// Class names of the records.
namespace classname {
inline constexpr char16_t Year[] = u"Year";
inline constexpr char16_t Thelist[] = u"Thelist";
inline constexpr char16_t Item[] = u"Item";
inline constexpr char16_t Group[] = u"Group";
inline constexpr char16_t Account[] = u"Account";
inline constexpr char16_t File[] = u"File";
inline constexpr char16_t Cashbook[] = u"Cashbook";
inline constexpr char16_t CashBookItem[] = u"CashBookItem";
inline constexpr char16_t Allowance[] = u"Allowance";
inline constexpr char16_t InventoryItem[] = u"InventoryItem";
}  // namespace classname

// Named images of the records.
namespace icon {
inline constexpr char16_t year[] = u"miniYearTemplate";
inline constexpr char16_t list[] = u"miniList";
inline constexpr char16_t itemGrey[] = u"miniItemGrey";
inline constexpr char16_t itemRed[] = u"miniItemRed";
inline constexpr char16_t itemRedTax[] = u"miniItemRedTax";
inline constexpr char16_t itemGreen[] = u"miniItemGreen";
inline constexpr char16_t itemGreenTax[] = u"miniItemGreenTax";
inline constexpr char16_t cashbook[] = u"miniTabTemplate";
}  // namespace icon

}  // namespace quandor::keys
