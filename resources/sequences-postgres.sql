-- After rows were loaded with their keys: move each identity on past the highest key, so that
-- rows added later get new numbers.
SELECT setval(pg_get_serial_sequence('"tbCategories"', 'CategoryNo'), COALESCE((SELECT MAX("CategoryNo") FROM "tbCategories"), 0) + 1, false);
SELECT setval(pg_get_serial_sequence('"tbColors"', 'ColorID'), COALESCE((SELECT MAX("ColorID") FROM "tbColors"), 0) + 1, false);
SELECT setval(pg_get_serial_sequence('"tbCountries"', 'CountryID'), COALESCE((SELECT MAX("CountryID") FROM "tbCountries"), 0) + 1, false);
SELECT setval(pg_get_serial_sequence('"tbCustomers"', 'Index'), COALESCE((SELECT MAX("Index") FROM "tbCustomers"), 0) + 1, false);
SELECT setval(pg_get_serial_sequence('"tbFireworks"', 'ProductNO'), COALESCE((SELECT MAX("ProductNO") FROM "tbFireworks"), 0) + 1, false);
SELECT setval(pg_get_serial_sequence('"tbSuppliers"', 'Index'), COALESCE((SELECT MAX("Index") FROM "tbSuppliers"), 0) + 1, false);
SELECT setval(pg_get_serial_sequence('"tbMortarTypes"', 'ID'), COALESCE((SELECT MAX("ID") FROM "tbMortarTypes"), 0) + 1, false);
