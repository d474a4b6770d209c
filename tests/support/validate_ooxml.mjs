// Validates Office Open XML files with the Open XML SDK's validator and prints {"file": [errors]} as JSON.
// Usage: node validate_ooxml.mjs VALIDATOR_MODULE FILE...
import { readFile } from "node:fs/promises";

const [module, ...files] = process.argv.slice(2);
const { default: validate, getFileFormatFromName } = await import(module);
const results = {};
for (const file of files) {
    results[file] = await validate(new Uint8Array(await readFile(file)), getFileFormatFromName(file));
}
console.log(JSON.stringify(results));
