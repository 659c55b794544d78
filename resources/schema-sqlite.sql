-- The product database on SQLite: the eight tables with the column names, order and kinds
-- the recordsets bind. Record keys are INTEGER PRIMARY KEY AUTOINCREMENT: a row added without
-- its key gets a number no row ever had, so an editor still open on a deleted row can never
-- change a newer one. No two items share an article number.
CREATE TABLE "tbCategories" (
    "CategoryNo" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Category" VARCHAR(255),
    "BitValue" INTEGER
);
CREATE TABLE "tbColors" (
    "ColorID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Color" VARCHAR(255)
);
CREATE TABLE "tbCountries" (
    "CountryID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Country" VARCHAR(255)
);
CREATE TABLE "tbCustomers" (
    "Index" INTEGER PRIMARY KEY AUTOINCREMENT,
    "CustomerNo" VARCHAR(255),
    "CustomerName" VARCHAR(255),
    "ContactName" VARCHAR(255),
    "BillingAddr" VARCHAR(255),
    "City" VARCHAR(255),
    "Region" VARCHAR(255),
    "ZipCode" VARCHAR(255),
    "Tel" VARCHAR(255),
    "Tel2" VARCHAR(255),
    "Mob" VARCHAR(255),
    "Mob2" VARCHAR(255),
    "Ext" VARCHAR(255),
    "Fax" VARCHAR(255),
    "E-Mail" VARCHAR(255),
    "Notes" VARCHAR(255)
);
CREATE TABLE "tbFireworks" (
    "ProductNO" INTEGER PRIMARY KEY AUTOINCREMENT,
    "SerialID" VARCHAR(255),
    "ProductName" VARCHAR(255),
    "Size" INTEGER,
    "Color" INTEGER,
    "Weight" INTEGER,
    "PreFire" VARCHAR(255),
    "Altitude" INTEGER,
    "Hold" VARCHAR(255),
    "CategoryID" INTEGER,
    "SubCategoryID" INTEGER,
    "Stock" INTEGER,
    "Reserved" INTEGER,
    "OrderLimit" INTEGER,
    "Price" INTEGER,
    "PriceOut" INTEGER,
    "SupplierID" INTEGER,
    "ProductDescription" VARCHAR(255)
);
CREATE UNIQUE INDEX "ixFireworksSerialID" ON "tbFireworks" ("SerialID");
CREATE TABLE "tbSuppliers" (
    "Index" INTEGER PRIMARY KEY AUTOINCREMENT,
    "SupplierNO" INTEGER,
    "Name" VARCHAR(255),
    "ContactTitle" VARCHAR(255),
    "ContactName" VARCHAR(255),
    "Address" VARCHAR(255),
    "City" VARCHAR(255),
    "ZipCode" VARCHAR(255),
    "Region" VARCHAR(255),
    "Tel" VARCHAR(255),
    "Mob" VARCHAR(255),
    "Fax" VARCHAR(255),
    "E-Mail" VARCHAR(255),
    "Notes" VARCHAR(255),
    "CountryID" INTEGER
);
CREATE TABLE "tbMortarTypes" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "TypeNO" INTEGER,
    "Name" VARCHAR(255),
    "Config" VARCHAR(255),
    "Angles" VARCHAR(255),
    "Notes" VARCHAR(255),
    "Image" VARCHAR(255),
    "Hide" BIT
);
CREATE TABLE "tbVersion" (
    "Major" INTEGER,
    "Minor" INTEGER,
    "Revision" INTEGER
);
